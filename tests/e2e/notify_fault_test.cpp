// The notification window's failure paths that no real system takes on
// demand, run in its test build, which fails once at each point named in
// GV_NOTIFY_FAULTS: events, threads and the pane dialog that cannot be
// created, writes that fail or fall short, a close that cannot start, a
// pane that refuses a line, a logon dialog that cannot be created.
#include <gtest/gtest.h>

#include <string>

#include "notify/core/timing.h"
#include "notifyserver.h"
#include "notifywin.h"

using namespace gv;

namespace {

const char Established[] = "[notify] A connection to Gridvane has been established.";
const char NoMessagePassing[] = "[notify] Could not establish the message passing mechanism. (232).";
const char NoMessagePassingPartly[] =
    "[notify] Could not establish the message passing mechanism. (29).";
const char Advice[] = "Please restart this program to ensure that the communication between "
                      "Gridvane and this program will work properly.";

ProgramRun RunWithFault(const std::string &fault)
{
    StartOptions options;
    options.env.push_back("GV_NOTIFY_FAULTS=" + fault);
    return RunToEnd(NotifyFaultsPath(), "", options, NotifyCaption, 15000);
}

TEST(NotifyFaults, StartUpFailuresAreShownAndTheProgramEnds)
{
    const struct {
        const char *fault;
        std::string message;
    } cases[] = {
        {"events", "An event object could not be created."},
        {"threads", "Could not establish a connection to the Gridvane computer."},
    };
    for (const auto &c : cases) {
        ProgramRun run = RunWithFault(c.fault);
        ASSERT_TRUE(run.ended) << c.fault << ": " << run.windows;
        EXPECT_EQ(0u, run.exitCode) << c.fault;
        ASSERT_EQ(std::vector<std::string>{c.message}, run.messages) << c.fault;
        EXPECT_TRUE(run.icons[0]);
    }

    // No pane dialog: the box without a host name.
    ProgramRun run = RunWithFault("dialog");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(1u, run.messages.size()) << Joined(run.messages);
    const std::string &text = run.messages[0];
    EXPECT_EQ(0u, text.find("Return code =  ")) << text;
    EXPECT_NE(std::string::npos, text.find(std::string(". ") + Advice)) << text;
}

TEST(NotifyFaults, FailedWritesAreReportedAndAFailedCloseCanBeRepeated)
{
    // A write that fails, and one that takes less than the whole
    // announcement (a pipe without room takes nothing): neither counts as
    // sent.
    const struct {
        const char *faults;
        std::string report;
        bool closeFails;
    } cases[] = {
        {"activate,deactivate,closethread", NoMessagePassing, true},
        {"shortactivate,shortdeactivate", NoMessagePassingPartly, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.faults);
        NotifyServer server;
        ASSERT_TRUE(server.Listen());
        NotifyWindow w;
        ASSERT_TRUE(StartNotify(w, "", c.faults));
        ASSERT_TRUE(WaitForLine(w, 0, c.report, 1, 10000));
        EXPECT_EQ(0, CountLines(PaneLines(w, 0), Established));
        ASSERT_TRUE(server.Send(0, Notification(1, 'M', "still read")));
        EXPECT_TRUE(WaitForLine(w, 0, "still read", 1, 5000)) << "the host stays connected";

        if (c.closeFails) {
            // The shutdown thread cannot start: the window stays, and the
            // reader, which a shutdown would have stopped, goes on.
            SendW(w.main, WM_CLOSE, 0, 0);
            ASSERT_TRUE(server.Send(0, Notification(2, 'M', "read after the close")));
            EXPECT_TRUE(WaitForLine(w, 0, "read after the close", 1, 5000));
            EXPECT_TRUE(IsWindowVisible(w.main));
        }

        PostMessageA(w.main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.main); }, 1000));
        // DEACTIVATE fails: reported in the hidden pane before the end.
        EXPECT_TRUE(WaitForLine(w, 0, c.report, 2, 5000));
        ASSERT_TRUE(WaitExitCode(w.guard.child, DeactivateGraceMs + LoadMarginMs, 0));
        EXPECT_EQ(0, server.CountReceived("ACTIVATE"));
        EXPECT_EQ(0, server.CountReceived("DEACTIVATE"));
    }
}

TEST(NotifyFaults, APaneThatRefusedALineStaysFrozenTheOtherGoesOn)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    std::string lower = Lower(ComputerName());
    ASSERT_TRUE(StartNotify(w, ComputerName() + " " + lower, "addline1"));

    std::string box = DismissMessageBox(w.guard.child.pid, NotifyCaption, 10000);
    EXPECT_EQ(lower + ": An error occured when trying to display a message. Return code =  8. " +
                  Advice,
              box);
    ASSERT_TRUE(server.WaitConnections(2, 5000));
    ASSERT_TRUE(WaitForLine(w, 0, Established, 1, 5000));
    for (int c = 0; c < 2; c++)
        ASSERT_TRUE(server.Send(c, Notification(1, 'M', "first " + std::to_string(c))));
    ASSERT_TRUE(WaitUntil([&] { return PaneLineCount(w, 0) == 2; }, 5000))
        << Describe(PaneLines(w, 0));

    // Clear does not revive it.
    ClickButton(w.panes, 1004);
    for (int c = 0; c < 2; c++)
        ASSERT_TRUE(server.Send(c, Notification(2, 'M', "second " + std::to_string(c))));
    ASSERT_TRUE(WaitUntil([&] { return PaneLineCount(w, 0) == 3; }, 5000))
        << Describe(PaneLines(w, 0));
    // Two more lines shown one after the other in the upper pane: the
    // reader has had a whole turn on the lower host in between.
    for (int i = 3; i <= 4; i++) {
        for (int c = 0; c < 2; c++)
            ASSERT_TRUE(server.Send(c, Notification(i, 'M', "line " + std::to_string(i))));
        ASSERT_TRUE(WaitForLine(w, 0, "line " + std::to_string(i), 1, 5000));
    }
    EXPECT_EQ(0, PaneLineCount(w, 1)) << Describe(PaneLines(w, 1));
    EXPECT_EQ(0, CloseNotify(w, 10000));
}

TEST(NotifyFaults, NoLogonDialogMeansAPauseBeforeTheNextAttempt)
{
    // The pipe refuses read-write clients (error 5); the first logon dialog
    // cannot be created.
    NotifyServer server;
    ASSERT_TRUE(server.Listen(PIPE_ACCESS_INBOUND));
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, "", "logondialog"));
    DWORD pid = w.guard.child.pid;
    EXPECT_EQ("Could not open window.", DismissMessageBox(pid, NotifyCaption, 10000));
    DWORD shown = GetTickCount();
    HWND logon = WaitForDialog(pid, "Gridvane Notification Window - Access Denied", 1027,
                               ConnectRetryPauseMs + LoadMarginMs);
    ASSERT_NE(nullptr, logon) << DescribeWindows(pid);
    EXPECT_GE(GetTickCount() - shown, (DWORD)ConnectRetryPauseMs - TickSlackMs)
        << "the next attempt follows the pause";
    ClickButton(logon, IDCANCEL);
    EXPECT_TRUE(WaitForStatus(w, 0, "Connection cancelled.", 5000));
    EXPECT_EQ(0, CloseNotify(w, 10000));
}

} // namespace
