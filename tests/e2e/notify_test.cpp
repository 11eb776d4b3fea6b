// The notification window driven end to end: its command line, one host's
// life from an absent base system through messages, losses and
// reconnections to the shutdown, the 1000-line cap, two panes (local names
// in any case) served by one local pipe, and pipes that cannot be used.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "notify/core/timing.h"
#include "notifyserver.h"
#include "notifywin.h"

using namespace gv;

namespace {

const char Established[] = "[notify] A connection to Gridvane has been established.";
const char NoConnection[] = "[notify] Can not establish a connection to Gridvane.";
const char Lost[] = "[notify] The connection to Gridvane is lost (109).";
const char FirstTry[] = "Trying to connect.";
const char NextTry[] = "Trying...";
const char Reconnecting[] = "Connection lost. Trying to reconnect.";
const char FirstNotice[] =
    "[notify] The maximum number of messages that can be displayed (1000) has been reached.";
const char SecondNotice[] = "[notify] Pruning the list (100 messages)...";

std::string LostWarning(unsigned missing)
{
    return "[notify] WARNING Messages are lost. (Messages missing " + std::to_string(missing) +
           ")";
}

/* The status texts seen, each change once, until there are two: the status
   changes after each failed attempt, so the next one has come and gone. A
   reading taken while the program refills the box (empty, or its line gone)
   is not counted. */
std::vector<std::string> WatchStatus(const NotifyWindow &w, int host)
{
    std::vector<std::string> seen;
    WaitUntil([&] {
        std::string now = PaneStatus(w, host);
        bool settled = !now.empty() && now != UnreadableItem;
        if (settled && (seen.empty() || seen.back() != now))
            seen.push_back(now);
        return seen.size() >= 2;
    }, ConnectRetryPauseMs + LoadMarginMs);
    return seen;
}

/* The lines from index on. */
std::vector<std::string> LinesFrom(const NotifyWindow &w, int host, size_t index)
{
    std::vector<std::string> lines = PaneLines(w, host);
    return index < lines.size() ? std::vector<std::string>(lines.begin() + index, lines.end())
                                : std::vector<std::string>();
}

/* Whether the pane shows its newest line whole. */
bool NewestLineInView(const NotifyWindow &w, int host)
{
    HWND list = PaneList(w, host);
    int newest = PaneLineCount(w, host) - 1;
    int top = (int)SendW(list, LB_GETTOPINDEX, 0, 0);
    int lineHeight = (int)SendW(list, LB_GETITEMHEIGHT, 0, 0);
    RECT client;
    if (newest < 0 || top < 0 || lineHeight <= 0 || !GetClientRect(list, &client))
        return false;
    int rows = (client.bottom - client.top) / lineHeight;
    return top <= newest && newest < top + rows;
}

// ---- command line ----

TEST(NotifyCommandLine, NoNameIsThisComputerInOnePane)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    size_t mark = MarkUnixStderr();
    ASSERT_TRUE(StartNotify(w, "", "", "", {"WINEDEBUG=trace+file"}));
    EXPECT_EQ(0x12CA0000u, WindowStyle(w.main) & ~(DWORD)WS_CLIPSIBLINGS)
        << std::hex << "style seen 0x" << WindowStyle(w.main);
    EXPECT_EQ(nullptr, GetDlgItem(w.panes, 1002)) << "one pane: dialog 103";
    EXPECT_EQ(ComputerName(), HostLabel(w, 0));
    ASSERT_TRUE(server.WaitReceived(0, "ACTIVATE", 1, 10000))
        << "\\\\.\\pipe\\KPX\\PIPE_stderr was not opened";
    EXPECT_TRUE(WaitForLine(w, 0, Established, 1, 5000));

    // The pipe is opened without flags, so that its server may read the
    // operator's name and act as the operator. Wine lets a server do both
    // whatever the flags (Windows does not after an identification-only
    // open); its trace of the open shows them.
    std::string trace = UnixStderrSince(mark);
    size_t open = trace.find(R"(CreateFileW L"\\\\.\\pipe\\KPX\\PIPE_stderr")");
    ASSERT_NE(std::string::npos, open) << "no open of the pipe in Wine's trace";
    std::string opened = trace.substr(open, trace.find('\n', open) - open);
    const std::string noFlags = " attributes 0x0";
    EXPECT_TRUE(opened.size() >= noFlags.size() &&
                opened.compare(opened.size() - noFlags.size(), noFlags.size(), noFlags) == 0)
        << opened;

    // The window is the size of the dialog, centred on the screen.
    RECT client, dialog, window, screen;
    GetClientRect(w.main, &client);
    GetWindowRect(w.panes, &dialog);
    GetWindowRect(w.main, &window);
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_EQ(dialog.right - dialog.left, client.right);
    EXPECT_EQ(dialog.bottom - dialog.top, client.bottom);
    EXPECT_NEAR(screen.right / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR(screen.bottom / 2, (window.top + window.bottom) / 2, 1);
}

TEST(NotifyCommandLine, TwoNamesSeparatedByBlanksTabsInside)
{
    NotifyWindow w;
    std::string first = OtherHostName("1");
    std::string second = OtherHostName("\tB");
    ASSERT_TRUE(StartNotify(w, "   " + first + "     " + second + "  " + OtherHostName("3")));
    ASSERT_NE(nullptr, GetDlgItem(w.panes, 1002)) << "two panes: dialog 101";
    EXPECT_EQ(first, HostLabel(w, 0));
    EXPECT_EQ(second, HostLabel(w, 1));
    EXPECT_FALSE(HeadingEnabled(w, 0)) << "grey while not connected";
    EXPECT_FALSE(HeadingEnabled(w, 1));
    // Other computers' pipes cannot be reached here: each pane says so once.
    for (int host = 0; host < 2; host++) {
        ASSERT_TRUE(WaitUntil([&] { return PaneLineCount(w, host) > 0; }, 5000));
        std::vector<std::string> lines = PaneLines(w, host);
        EXPECT_EQ(0u, lines[0].find("[notify] Could not open the message pipe (")) << lines[0];
    }
}

TEST(NotifyCommandLine, QuotedProgramPathWithBlanks)
{
    const std::string dir = "C:\\Program Files\\gvnotify";
    ASSERT_TRUE(MakeDirectories(dir));
    const std::string copy = dir + "\\notify.exe";
    ASSERT_TRUE(CopyFileA(NotifyPath().c_str(), copy.c_str(), FALSE));
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, OtherHostName(), "", copy));
    EXPECT_EQ(OtherHostName(), HostLabel(w, 0)) << "the tail of the program path was taken";
    EXPECT_EQ(nullptr, GetDlgItem(w.panes, 1002));

    // Installed deep: the quoted path alone passes the 128 bytes the names
    // are read from, and takes none of their room.
    const std::string deep = dir + "\\installed deep\\" + std::string(90, 'd');
    ASSERT_TRUE(MakeDirectories(deep));
    const std::string deepCopy = deep + "\\notify.exe";
    ASSERT_GT(deepCopy.size() + 2, (size_t)128);
    ASSERT_TRUE(CopyFileA(NotifyPath().c_str(), deepCopy.c_str(), FALSE));
    NotifyWindow two;
    ASSERT_TRUE(StartNotify(two, OtherHostName("1") + " " + OtherHostName("2"), "", deepCopy));
    ASSERT_NE(nullptr, GetDlgItem(two.panes, 1002)) << "two panes: dialog 101";
    EXPECT_EQ(OtherHostName("1"), HostLabel(two, 0));
    EXPECT_EQ(OtherHostName("2"), HostLabel(two, 1));
    NotifyWindow none;
    ASSERT_TRUE(StartNotify(none, "", "", deepCopy)) << DescribeWindows(none.guard.child.pid);
    EXPECT_EQ(ComputerName(), HostLabel(none, 0)) << "this computer";
    EXPECT_EQ(nullptr, GetDlgItem(none.panes, 1002));
}

TEST(NotifyCommandLine, NamesThatDoNotFitAreRefused)
{
    ProgramRun run = RunToEnd(NotifyPath(), "ABCDEFGHIJKLMNOP", StartOptions(), NotifyCaption,
                              10000);
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(std::vector<std::string>{"No Gridvane computer defined."}, run.messages);
    EXPECT_TRUE(run.icons[0]);

    // A refused name keeps its pane, which says why and is never tried.
    const std::string tooLong = "ABCDEFGHIJKLMNOP";
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, tooLong + " " + OtherHostName("2")));
    ASSERT_NE(nullptr, GetDlgItem(w.panes, 1002));
    EXPECT_EQ("XXX", HostLabel(w, 0));
    EXPECT_EQ(OtherHostName("2"), HostLabel(w, 1));
    EXPECT_EQ("Connection cancelled.", PaneStatus(w, 0));
    const std::string refusedTooLong = "[notify] The computer name \"" + tooLong +
                                       "\" is not used: a computer name has at most 15 "
                                       "characters.";
    EXPECT_EQ(std::vector<std::string>({refusedTooLong}), PaneLines(w, 0));
    // The other pane is tried and reports it; by then the refused one would
    // have had its try.
    ASSERT_TRUE(WaitUntil([&] { return PaneLineCount(w, 1) > 0; }, 5000));
    EXPECT_EQ(std::vector<std::string>({refusedTooLong}), PaneLines(w, 0));
    EXPECT_EQ("Connection cancelled.", PaneStatus(w, 0));

    // The second name crosses the end of the 127 characters copied after
    // the program path, whatever the path's length; the blanks at the end
    // make no third pane or try.
    std::string arguments = OtherHostName("1") + std::string(121 - OtherHostName("1").size(), ' ') +
                            OtherHostName("LONG") + std::string(150, ' ');
    NotifyWindow cut;
    ASSERT_TRUE(StartNotify(cut, arguments));
    ASSERT_NE(nullptr, GetDlgItem(cut.panes, 1002));
    EXPECT_EQ(OtherHostName("1"), HostLabel(cut, 0));
    EXPECT_EQ("XXX", HostLabel(cut, 1)) << "a cut name would be another computer";
    EXPECT_EQ("Connection cancelled.", PaneStatus(cut, 1));
    EXPECT_EQ(std::vector<std::string>({"[notify] The computer name \"" + OtherHostName("LONG") +
                                        "\" is not used: it was cut off by the length of the "
                                        "command line."}),
              PaneLines(cut, 1))
        << "named as it was given";

    // Blanks alone after a name that fits make no second pane.
    NotifyWindow blanks;
    ASSERT_TRUE(StartNotify(blanks, OtherHostName("1") + std::string(200, ' ')));
    EXPECT_EQ(nullptr, GetDlgItem(blanks.panes, 1002)) << "one pane: dialog 103";
    EXPECT_EQ(OtherHostName("1"), HostLabel(blanks, 0));
}

// ---- one host from start to end ----

TEST(NotifyConnection, OneHostFromAbsentBaseSystemToShutdown)
{
    NotifyServer server;
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ""));

    // No base system: reported once, then only the status line changes.
    ASSERT_TRUE(WaitForLine(w, 0, NoConnection, 1, 5000));
    EXPECT_FALSE(HeadingEnabled(w, 0));
    std::vector<std::string> seen = WatchStatus(w, 0);
    EXPECT_GE(seen.size(), 2u) << Describe(seen);
    for (const std::string &s : seen)
        EXPECT_TRUE(s == FirstTry || s == NextTry) << s;
    EXPECT_EQ(std::vector<std::string>({NoConnection}), PaneLines(w, 0))
        << "not one report every 2 s";

    // The base system starts.
    ASSERT_TRUE(server.Listen());
    ASSERT_TRUE(server.WaitReceived(0, "ACTIVATE", 1, ConnectRetryPauseMs + LoadMarginMs));
    ASSERT_TRUE(WaitForLine(w, 0, Established, 1, 5000));
    EXPECT_TRUE(HeadingEnabled(w, 0));
    EXPECT_EQ("", PaneStatus(w, 0));

    ASSERT_TRUE(server.SendAll(0, {
        Notification(5, 'M', "five"),        // the first never warns
        Notification(0, 'C', "status C"),
        Notification(0, 'L', "status L"),
        Notification(0, 'X', "shown nowhere"),
        Notification(7, 'M', "seven"),       // 6 is lost
        "0008 ",                             // 5, 6 and 7 bytes: empty lines
        "0009 M",
        "0010 M ",
        "ab",                                // no header: shown as it is
        std::string("0011 M cut\0hidden", 17),
    }));
    std::vector<std::string> expected = {NoConnection, Established, "five", LostWarning(1),
                                         "seven", "", "", "", "ab", "cut"};
    ASSERT_TRUE(WaitUntil([&] { return PaneLineCount(w, 0) >= (int)expected.size(); }, 5000));
    DWORD shown = GetTickCount(); /* the reader found nothing more: it pauses */
    EXPECT_EQ(expected, PaneLines(w, 0)) << Describe(PaneLines(w, 0));
    HWND status = GetDlgItem(w.panes, 1012);
    EXPECT_EQ(std::vector<std::string>({"status C", "status L"}), ComboBoxLines(status));
    EXPECT_EQ("status C", PaneStatus(w, 0)) << "the first status message stays shown";
    ASSERT_TRUE(server.Send(0, Notification(0, 'C', "beat 0")));
    ASSERT_TRUE(WaitUntil([&] { return ComboBoxLines(status).size() == 3; },
                          ReaderIdlePauseMs + LoadMarginMs));
    EXPECT_GE(GetTickCount() - shown, (DWORD)ReaderIdlePauseMs - TickSlackMs) << "read at once";

    // A heartbeat: the status line's list keeps the newest 100.
    std::vector<std::string> beats;
    std::vector<std::string> kept;
    for (int i = 1; i <= 150; i++) {
        beats.push_back(Notification(0, i % 2 ? 'C' : 'L', "beat " + std::to_string(i)));
        if (i > 50)
            kept.push_back("beat " + std::to_string(i));
    }
    ASSERT_TRUE(server.SendAll(0, beats));
    ASSERT_TRUE(WaitUntil([&] { return ComboBoxLines(status) == kept; }, 10000))
        << Describe(ComboBoxLines(status));
    EXPECT_EQ("beat 51", PaneStatus(w, 0)) << "the first one kept is shown";
    EXPECT_EQ(expected, PaneLines(w, 0)) << "status messages are not pane lines";

    // The base system goes away.
    server.StopListening();
    server.Close(0);
    ASSERT_TRUE(WaitForLine(w, 0, Lost, 1, 5000));
    EXPECT_TRUE(WaitForLine(w, 0, NoConnection, 2, 3000));
    EXPECT_FALSE(HeadingEnabled(w, 0));
    seen = WatchStatus(w, 0);
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), Reconnecting)) << Describe(seen);
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), NextTry)) << Describe(seen);

    // It comes back; the first number after the reconnection never warns.
    size_t mark = PaneLines(w, 0).size();
    ASSERT_TRUE(server.Listen());
    ASSERT_TRUE(server.WaitReceived(1, "ACTIVATE", 1, ConnectRetryPauseMs + LoadMarginMs));
    ASSERT_TRUE(server.SendAll(1, {Notification(9998, 'M', "late"),
                                   Notification(2, 'M', "wrapped")}));   // 9999 and 1 lost
    // A message longer than the reader's buffer breaks the connection.
    ASSERT_TRUE(server.Send(1, Notification(3, 'M', std::string(70000, 'x'))));
    ASSERT_TRUE(server.WaitReceived(2, "ACTIVATE", 1, 5000)) << "no reconnection";
    ASSERT_TRUE(server.SendAll(2, {Notification(9999, 'M', "last"),
                                   Notification(1, 'M', "after the wrap")}));
    expected = {Established, "late", LostWarning(2), "wrapped",
                "[notify] Failed when reading the message pipe. (234).", Established, "last",
                "after the wrap"};
    ASSERT_TRUE(WaitUntil([&] { return LinesFrom(w, 0, mark).size() >= expected.size(); },
                          5000));
    EXPECT_EQ(expected, LinesFrom(w, 0, mark)) << Describe(PaneLines(w, 0));
    EXPECT_TRUE(HeadingEnabled(w, 0));

    // Closing: hidden at once, DEACTIVATE to the connected pipe once the
    // reader has ended after its pause, the end after the grace time.
    DWORD closed = GetTickCount();
    PostMessageA(w.main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.main); }, 1000)) << "still visible";
    ASSERT_TRUE(server.WaitReceived(2, "DEACTIVATE", 1, ReaderIdlePauseMs + LoadMarginMs));
    DWORD deactivated = server.Received(2).back().tick;
    ASSERT_TRUE(WaitExitCode(w.guard.child, DeactivateGraceMs + LoadMarginMs, 0));
    DWORD ended = GetTickCount();
    EXPECT_LE(deactivated - closed, (DWORD)ReaderIdlePauseMs + LoadMarginMs);
    EXPECT_GE(ended - deactivated, (DWORD)DeactivateGraceMs - TickSlackMs);
    EXPECT_LE(ended - deactivated, (DWORD)DeactivateGraceMs + LoadMarginMs);
    EXPECT_EQ(1, server.CountReceived("DEACTIVATE"));
    for (int c = 0; c < 3; c++)
        EXPECT_EQ(1, server.CountReceived("ACTIVATE", c)) << "connection " << c;
}

// ---- the 1000-line cap ----

TEST(NotifyPanes, PruningKeepsTheNewestLinesAndClearStartsAgain)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ""));
    ASSERT_TRUE(WaitForLine(w, 0, Established, 1, 10000));

    int sequence = 0;
    auto send = [&](int count, int wideAt, int mediumAt) {
        std::vector<std::string> batch;
        for (int i = 0; i < count; i++) {
            sequence++;
            std::string text = "line " + std::to_string(sequence);
            if (sequence == wideAt)
                text += " " + std::string(150, 'W');
            if (sequence == mediumAt)
                text += " " + std::string(60, 'M');
            batch.push_back(Notification(sequence, 'M', text));
        }
        return server.SendAll(0, batch);
    };
    // A visible list box under Wine takes a few hundred lines a second at
    // best, fewer on a loaded machine.
    auto waitCount = [&](int count) {
        return WaitUntil([&] { return PaneLineCount(w, 0) == count; }, 60000);
    };

    // The connection line and 999 messages: the 1000th line is added normally.
    ASSERT_TRUE(send(999, 1, 550));
    ASSERT_TRUE(waitCount(1000)) << PaneLineCount(w, 0) << " lines";
    std::vector<std::string> lines = PaneLines(w, 0);
    EXPECT_EQ("line 999", lines.back());
    EXPECT_EQ(0, CountLines(lines, FirstNotice));
    EXPECT_TRUE(NewestLineInView(w, 0))
        << "top line " << SendW(PaneList(w, 0), LB_GETTOPINDEX, 0, 0);
    int fullExtent = PaneExtent(w, 0);

    // The 1001st removes the oldest 100 (with the widest line) first.
    ASSERT_TRUE(send(1, 0, 0));
    ASSERT_TRUE(waitCount(903)) << PaneLineCount(w, 0) << " lines";
    lines = PaneLines(w, 0);
    EXPECT_EQ("line 100", lines[0]);
    EXPECT_EQ(FirstNotice, lines[900]);
    EXPECT_EQ(SecondNotice, lines[901]);
    EXPECT_EQ("line 1000", lines[902]);
    EXPECT_TRUE(NewestLineInView(w, 0))
        << "top line " << SendW(PaneList(w, 0), LB_GETTOPINDEX, 0, 0);
    int prunedExtent = PaneExtent(w, 0);
    EXPECT_LT(prunedExtent, fullExtent) << "the widest line went";
    EXPECT_GT(prunedExtent, 0) << "the medium line is still there";

    // 97 lines later the pane is full again; the next line prunes.
    ASSERT_TRUE(send(97, 0, 0));
    ASSERT_TRUE(waitCount(1000)) << PaneLineCount(w, 0) << " lines";
    EXPECT_EQ(prunedExtent, PaneExtent(w, 0));
    ASSERT_TRUE(send(1, 0, 0));
    ASSERT_TRUE(waitCount(903)) << PaneLineCount(w, 0) << " lines";
    lines = PaneLines(w, 0);
    EXPECT_EQ(2, CountLines(lines, FirstNotice));
    EXPECT_EQ("line 1098", lines.back());

    // Clear on a full pane: empty, no scroll range, and counting from 0.
    ASSERT_TRUE(send(97, 0, 0));
    ASSERT_TRUE(waitCount(1000));
    ClickButton(w.panes, 1001);
    ASSERT_TRUE(waitCount(0));
    EXPECT_EQ(0, PaneExtent(w, 0));
    ASSERT_TRUE(send(3, 0, 0));
    ASSERT_TRUE(waitCount(3));
    EXPECT_EQ(std::vector<std::string>({"line 1196", "line 1197", "line 1198"}), PaneLines(w, 0));
}

// ---- two panes, one local pipe ----

TEST(NotifyTwoHosts, EachPaneShowsItsOwnConnectionAndOnlyConnectedHostsAreDeactivated)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    // Local names in any case are local (both open the local pipe) and keep their case.
    ASSERT_TRUE(StartNotify(w, ComputerName() + " " + Lower(ComputerName())));
    ASSERT_NE(nullptr, GetDlgItem(w.panes, 1002)) << "two panes: dialog 101";
    EXPECT_EQ(ComputerName(), HostLabel(w, 0));
    EXPECT_EQ(Lower(ComputerName()), HostLabel(w, 1));
    ASSERT_TRUE(server.WaitConnections(2, 10000));
    for (int host = 0; host < 2; host++)
        ASSERT_TRUE(WaitForLine(w, host, Established, 1, 5000));

    // Which pane shows which connection is up to the order of the opens.
    ASSERT_TRUE(server.Send(0, Notification(1, 'M', "to connection 0")));
    int paneOf0 = -1;
    ASSERT_TRUE(WaitUntil([&] {
        for (int host = 0; host < 2; host++)
            if (CountLines(PaneLines(w, host), "to connection 0") == 1)
                paneOf0 = host;
        return paneOf0 != -1;
    }, 5000));
    int paneOf1 = 1 - paneOf0;
    ASSERT_TRUE(server.Send(1, Notification(1, 'M', "to connection 1")));
    EXPECT_TRUE(WaitForLine(w, paneOf1, "to connection 1", 1, 5000));
    EXPECT_EQ(0, CountLines(PaneLines(w, paneOf0), "to connection 1"));

    for (int c = 0; c < 2; c++) {
        std::vector<std::string> traffic = {Notification(0, 'C', "Base system running")};
        for (int i = 2; i < 12; i++)
            traffic.push_back(Notification(i + (i > 6 ? 1 : 0), 'M',
                                           "Connection " + std::to_string(c) + ", message " +
                                               std::to_string(i) + ": pump station " +
                                               std::to_string(10 * c + i) + " reports level ok"));
        ASSERT_TRUE(server.SendAll(c, traffic));
    }
    EXPECT_TRUE(WaitForLine(w, paneOf1, LostWarning(1), 1, 5000));
    std::string hold = EnvironmentText("GV_HOLD_WINDOW_MS");
    if (!hold.empty())
        Sleep(atoi(hold.c_str())); /* time to look at the window */

    // The lower pane's connection goes; the pipe has no free instance then.
    server.StopListening();
    int lower = paneOf0 == 1 ? 0 : 1;
    server.Close(lower);
    ASSERT_TRUE(WaitForLine(w, 1, Lost, 1, 5000));
    EXPECT_FALSE(HeadingEnabled(w, 1));
    EXPECT_TRUE(HeadingEnabled(w, 0));
    EXPECT_TRUE(WaitForLine(w, 1, "[notify] Could not open the message pipe (231).", 1, 3000));

    EXPECT_EQ(0, CloseNotify(w, 10000));
    EXPECT_EQ(1, server.CountReceived("DEACTIVATE", 1 - lower));
    EXPECT_EQ(1, server.CountReceived("DEACTIVATE")) << "only the connected host";
}

// ---- pipes that cannot be used ----

TEST(NotifyRefusedPipe, AModeErrorIsReportedOnce)
{
    // A byte pipe refuses message mode: reported once, though tried again.
    NotifyServer server;
    ASSERT_TRUE(server.Listen(PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE));
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ""));
    const std::string modeError = "[notify] The appropriate mode of the pipe could not be set (87).";
    ASSERT_TRUE(WaitForLine(w, 0, modeError, 1, 5000));
    ASSERT_TRUE(server.WaitConnections(2, ConnectRetryPauseMs + LoadMarginMs));
    EXPECT_EQ(std::vector<std::string>({modeError}), PaneLines(w, 0)) << "the mode error once";
    DWORD pause = server.ConnectedAt(1) - server.ConnectedAt(0);
    EXPECT_GE(pause, (DWORD)ConnectRetryPauseMs - TickSlackMs);
    EXPECT_LE(pause, (DWORD)ConnectRetryPauseMs + LoadMarginMs);

    server.Shutdown(); /* a pipe's instances are all of one type */
    ASSERT_TRUE(server.Listen());
    EXPECT_TRUE(WaitForLine(w, 0, Established, 1, 5000));
    EXPECT_EQ(0, CloseNotify(w, 10000));
}

} // namespace
