// The notification window's access-denied dialog: a base system that
// refuses the pipe (error 5) brings it up on the connection thread. Wine's
// MPR refuses every logon (1222); the logons that succeed go through the
// stand-in MPR (standinmpr.h). Cancel gives the host up for good, while
// the other host carries on.
#include <gtest/gtest.h>

#include "notify/core/timing.h"
#include "notifyserver.h"
#include "notifywin.h"
#include "standinmpr.h"

using namespace gv;

namespace {

const char DialogCaption[] = "Gridvane Notification Window - Access Denied";
const char Refused[] = "An error occurred when trying to connect to the shared resource (1222).";
const char Cancelled[] = "Connection cancelled.";
const char Established[] = "[notify] A connection to Gridvane has been established.";
enum { UserName = 1025, Password = 1026, HostName = 1027 };

TEST(NotifyLogon, RefusedLogonKeepsTheDialogAndCancelGivesTheHostUp)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen(PIPE_ACCESS_INBOUND)); // read-write opens fail with 5
    NotifyWindow w;
    // Another computer below is tried on every pass of the connection
    // thread: its opens in Wine's trace show how far the thread has got.
    ASSERT_TRUE(StartNotify(w, ComputerName() + " " + OtherHostName(), "", "",
                            {"WINEDEBUG=trace+file"}));
    DWORD pid = w.guard.child.pid;
    HWND dialog = WaitForDialog(pid, DialogCaption, HostName, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);

    EXPECT_EQ(ComputerName(), ItemText(dialog, HostName));
    EXPECT_NE(0u, WindowStyle(GetDlgItem(dialog, HostName)) & ES_READONLY);
    EXPECT_NE(0u, WindowStyle(GetDlgItem(dialog, Password)) & ES_PASSWORD);
    EXPECT_EQ(GetDlgItem(dialog, UserName), FocusedWindow(dialog))
        << "typing starts in the user name field";
    EXPECT_EQ(GetDlgItem(dialog, Password),
              GetNextDlgTabItem(dialog, GetDlgItem(dialog, UserName), FALSE));
    EXPECT_EQ(GetDlgItem(dialog, IDOK),
              GetNextDlgTabItem(dialog, GetDlgItem(dialog, Password), FALSE));

    const struct {
        int id;
        int x, y, w, h;
    } at[] = {{UserName, 49, 47, 173, 14}, {Password, 49, 64, 173, 14},
              {IDOK, 229, 7, 50, 14},      {IDCANCEL, 229, 24, 50, 14},
              {HostName, 50, 29, 87, 14}};
    for (const auto &c : at) {
        UnitRect u = PlaceInDialogUnits(dialog, 287, 127, GetDlgItem(dialog, c.id));
        EXPECT_NEAR(c.x, u.x, 1) << c.id;
        EXPECT_NEAR(c.y, u.y, 1) << c.id;
        EXPECT_NEAR(c.w, u.width, 1) << c.id;
        EXPECT_NEAR(c.h, u.height, 1) << c.id;
    }
    EXPECT_EQ("||OK|Cancel|User name:|The connection could not be established due to an "
              "incorrect user name or an incorrect password or insufficient privileges.|"
              "Password:|You can not make two or more connections to the same computer with "
              "different credentials (user id && password).|Note|Host name:|" +
                  ComputerName() + "|",
              ControlTexts(dialog));

    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "not-this-one");
    ClickButton(dialog, IDOK);
    HWND box = WaitForMessageBox(pid, NotifyCaption, 10000);
    ASSERT_NE(nullptr, box) << DescribeWindows(pid);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays while the error is shown";
    EXPECT_TRUE(MessageBoxHasIcon(box));
    EXPECT_EQ(Refused, DismissMessageBox(pid, NotifyCaption, 5000));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ("operator7", ItemText(dialog, UserName));

    size_t mark = MarkUnixStderr();
    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForStatus(w, 0, Cancelled, 5000));
    // The lower host's second open ends the pass that would have tried the
    // upper host again.
    const std::string lower = R"(CreateFileW L"\\\\)" + OtherHostName() + R"(\\pipe)";
    ASSERT_TRUE(WaitUntil([&] {
        std::string trace = UnixStderrSince(mark);
        return trace.find(lower, trace.find(lower) + 1) != std::string::npos;
    }, ConnectRetryPauseMs + LoadMarginMs));
    EXPECT_EQ(std::string::npos, UnixStderrSince(mark).find(R"(CreateFileW L"\\\\.\\pipe)"))
        << "tried again";
    EXPECT_EQ(nullptr, WaitForDialog(pid, DialogCaption, HostName, 0)) << "tried again";
    EXPECT_EQ(Cancelled, PaneStatus(w, 0));
    EXPECT_EQ(0, PaneLineCount(w, 0)) << Describe(PaneLines(w, 0));
    EXPECT_EQ(0, CloseNotify(w, 10000));
    EXPECT_EQ(0, server.Connections());
}

// The logons answered by the stand-in MPR: 1326, then success twice. Both
// panes are this computer, in capitals and not, so that each logon shows
// whose dialog made it.
TEST(NotifyLogon, ALogonUndoneUntilItOpensThePipeOfItsHost)
{
    GV_ONLY_UNDER_WINE("the system directory's mpr.dll");
    StandInMpr mpr; // first in, last out: put back after the window ends
    ASSERT_TRUE(mpr.Install({FileNameOf(NotifyPath())}));
    NotifyServer server;
    ASSERT_TRUE(server.Listen(PIPE_ACCESS_INBOUND)); // read-write opens fail with 5
    const std::string upper = ComputerName(), lower = Lower(upper);
    ASSERT_NE(upper, lower);
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, upper + " " + lower, "", "", mpr.Environment("1326,0")));
    DWORD pid = w.guard.child.pid;
    HWND dialog = WaitForDialog(pid, DialogCaption, HostName, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    const std::string logon = LogonCall(upper, "operator7", "pass-7");
    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "pass-7");
    ClickButton(dialog, IDOK);
    EXPECT_EQ("Unknown user name or bad password. (1326).",
              DismissMessageBox(pid, NotifyCaption, 10000));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(std::vector<std::string>{logon}, mpr.Calls()) << "nothing to undo";

    // Logged on, and the pipe still refused: the logon is undone before
    // the dialog comes back.
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    dialog = WaitForDialog(pid, DialogCaption, HostName, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    EXPECT_EQ((std::vector<std::string>{logon, logon, LogoffCall(upper)}), mpr.Calls());
    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForStatus(w, 0, Cancelled, 5000));

    // The lower host's dialog logs on to it and opens its pipe at once, not
    // on the next pass; that logon stays.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    dialog = WaitForDialog(pid, DialogCaption, HostName, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    EXPECT_EQ(lower, ItemText(dialog, HostName));
    ASSERT_TRUE(server.Listen());
    SetItemText(dialog, UserName, "operator8");
    SetItemText(dialog, Password, "pass-8");
    DWORD pressed = GetTickCount();
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(server.WaitReceived(0, "ACTIVATE", 1, ConnectRetryPauseMs + LoadMarginMs));
    EXPECT_LT(server.ConnectedAt(0) - pressed, (DWORD)ConnectRetryPauseMs) << "on the next pass";
    EXPECT_TRUE(WaitForLine(w, 1, Established, 1, 5000));
    EXPECT_EQ(0, CloseNotify(w, 10000));
    EXPECT_EQ((std::vector<std::string>{logon, logon, LogoffCall(upper),
                                        LogonCall(lower, "operator8", "pass-8")}),
              mpr.Calls());
}

TEST(NotifyLogon, TheOtherHostCarriesOnWhileTheDialogIsOpen)
{
    // Both panes are this computer and so share one pipe; Wine cannot
    // refuse one client of a pipe and accept another, so the test build
    // refuses the upper host's pipe when it is opened again.
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ComputerName() + " " + Lower(ComputerName()), "reopendenied0"));
    DWORD pid = w.guard.child.pid;
    ASSERT_TRUE(server.WaitConnections(2, 10000));

    // Which connection feeds which pane depends on the order of the opens.
    ASSERT_TRUE(server.Send(0, Notification(1, 'M', "probe")));
    int upper = -1;
    ASSERT_TRUE(WaitUntil([&] {
        if (CountLines(PaneLines(w, 0), "probe") == 1)
            upper = 0;
        else if (CountLines(PaneLines(w, 1), "probe") == 1)
            upper = 1;
        return upper != -1;
    }, 5000));
    int lowerConnection = 1 - upper;

    server.StopListening();
    server.Close(upper); // the upper host is lost and refused when it comes back
    ASSERT_TRUE(server.Listen());
    HWND dialog = WaitForDialog(pid, DialogCaption, HostName, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    EXPECT_EQ(ComputerName(), ItemText(dialog, HostName));

    ASSERT_TRUE(server.Send(lowerConnection, Notification(2, 'M', "while the dialog is open")));
    EXPECT_TRUE(WaitForLine(w, 1, "while the dialog is open", 1, 5000));

    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForStatus(w, 0, Cancelled, 5000));
    ASSERT_TRUE(server.Send(lowerConnection, Notification(3, 'M', "after the cancel")));
    EXPECT_TRUE(WaitForLine(w, 1, "after the cancel", 1, 5000));
    EXPECT_EQ(0, CloseNotify(w, 10000));
    EXPECT_EQ(1, server.CountReceived("DEACTIVATE")) << "only the lower host is connected";
    EXPECT_EQ(1, server.CountReceived("DEACTIVATE", lowerConnection));
}

} // namespace
