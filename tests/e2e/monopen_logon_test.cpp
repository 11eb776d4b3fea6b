// The opener's access-denied dialog: a base system that refuses the pipe
// (error 5) brings it up. Wine's MPR refuses every logon (1222), so the
// error box and the dialog's return are what an operator meets with it;
// the logons that succeed go through the stand-in MPR (standinmpr.h).
#include <gtest/gtest.h>

#include "basesys.h"
#include "monopen/core/timing.h"
#include "monserver.h"
#include "opener.h"
#include "standinmpr.h"

using namespace gv;

namespace {

const char DialogCaption[] = "Gridvane Monitor - Access Denied";
const char Refused[] = "An error occurred when trying to connect to the shared resource (1222).";
enum { UserName = 1025, Password = 1026 };

class OpenerLogon : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)); }

    StandInMpr mpr; // first in, last out: put back after the opener ends
    MonitorServer server;
    ChildGuard opener;
    HWND dialog = NULL;

    void SetUp() override { StartRefused(""); }

    // The opener asks this computer for monitor 7 and meets the dialog.
    void StartRefused(const std::string &more, const StartOptions &options = StartOptions())
    {
        MonitorServerScript refusing;
        refusing.inbound = true; // a read-write open fails with error 5
        ASSERT_TRUE(server.Start(refusing));
        ASSERT_TRUE(StartOpener(opener.child, "-d " + ComputerName() + " 7" + more, options));
        dialog = WaitForDialog(opener.child.pid, DialogCaption, Password, 10000);
        ASSERT_NE(nullptr, dialog) << DescribeWindows(opener.child.pid);
    }
};

// The logons answered by the stand-in MPR: 1326, then success, then
// success (unscripted).
class OpenerLogonStandIn : public OpenerLogon {
protected:
    void SetUp() override
    {
        GV_ONLY_UNDER_WINE("the system directory's mpr.dll");
        ASSERT_TRUE(mpr.Install({FileNameOf(OpenerPath())}));
        StartOptions options;
        options.env = mpr.Environment("1326,0");
        StartRefused(" -r 1", options);
    }
};

TEST_F(OpenerLogon, DialogLayout)
{
    DWORD style = WindowStyle(dialog);
    EXPECT_NE(0u, style & WS_SYSMENU);
    EXPECT_NE(0u, style & WS_CAPTION);
    EXPECT_EQ(GetDlgItem(dialog, IDOK), FocusedWindow(dialog)) << "the focus starts on OK";
    EXPECT_EQ("", ItemText(dialog, UserName));
    EXPECT_NE(0u, WindowStyle(GetDlgItem(dialog, Password)) & ES_PASSWORD);
    EXPECT_NE(0u, WindowStyle(GetDlgItem(dialog, UserName)) & ES_AUTOHSCROLL);

    // Tab order is template order: OK, Cancel, user name, password.
    HWND first = GetDlgItem(dialog, IDOK);
    EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), GetNextDlgTabItem(dialog, first, FALSE));
    EXPECT_EQ(GetDlgItem(dialog, UserName),
              GetNextDlgTabItem(dialog, GetDlgItem(dialog, IDCANCEL), FALSE));
    EXPECT_EQ(GetDlgItem(dialog, Password),
              GetNextDlgTabItem(dialog, GetDlgItem(dialog, UserName), FALSE));

    const struct {
        int id;
        int x, y, w, h;
    } at[] = {{IDOK, 230, 7, 50, 14},
              {IDCANCEL, 230, 24, 50, 14},
              {UserName, 49, 28, 173, 14},
              {Password, 49, 45, 173, 14}};
    for (const auto &c : at) {
        UnitRect u = PlaceInDialogUnits(dialog, 287, 105, GetDlgItem(dialog, c.id));
        EXPECT_NEAR(c.x, u.x, 1) << c.id;
        EXPECT_NEAR(c.y, u.y, 1) << c.id;
        EXPECT_NEAR(c.w, u.width, 1) << c.id;
        EXPECT_NEAR(c.h, u.height, 1) << c.id;
    }

    EXPECT_EQ("OK|Cancel|User name:|The connection could not be established due to an incorrect "
              "user name or an incorrect password.|Password:|||You can not make two or more "
              "connections to the same computer with different credentials (user id && "
              "password).|Note|",
              ControlTexts(dialog));
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitExitCode(opener.child, 10000, 0)) << "a message box would hold it";
}

TEST_F(OpenerLogon, RefusedLogonBringsTheDialogBack)
{
    PressKey(dialog, VK_RETURN); // at once: an empty logon
    HWND box = WaitForMessageBox(opener.child.pid, OpenerCaption, 10000);
    ASSERT_NE(nullptr, box) << DescribeWindows(opener.child.pid);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "the dialog steps aside while logging on";
    EXPECT_EQ(Refused, DismissMessageBox(opener.child.pid, OpenerCaption, 5000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != 0; }, 5000));

    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "not-this-one");
    ClickButton(dialog, IDOK);
    EXPECT_EQ(Refused, DismissMessageBox(opener.child.pid, OpenerCaption, 10000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != 0; }, 5000));
    EXPECT_EQ("operator7", ItemText(dialog, UserName)) << "the typed user name stays";

    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitExitCode(opener.child, 10000, 0)) << "a message box would hold it";
    EXPECT_EQ(0, server.Connections());
}

TEST_F(OpenerLogonStandIn, ALogonUndoneUntilItOpensThePipe)
{
    const std::string host = "."; // this computer, as the opener names it
    const std::string logon = LogonCall(host, "operator7", "pass-7");
    DWORD pid = opener.child.pid;
    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "pass-7");
    ClickButton(dialog, IDOK);
    EXPECT_EQ("Unknown user name or bad password. (1326).",
              DismissMessageBox(pid, OpenerCaption, 10000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != 0; }, 5000));
    EXPECT_EQ(std::vector<std::string>{logon}, mpr.Calls()) << "nothing to undo";

    // Logged on, and the pipe still refused: the logon is undone before
    // the dialog comes back, at once and with the -r budget untouched.
    DWORD pressed = GetTickCount();
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    dialog = WaitForDialog(pid, DialogCaption, Password, OpenRetryPauseMs + LoadMarginMs);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    EXPECT_LT(GetTickCount() - pressed, (DWORD)OpenRetryPauseMs) << "after the -r pause";
    EXPECT_EQ((std::vector<std::string>{logon, logon, LogoffCall(host)}), mpr.Calls());

    // The logon that opens the pipe: opened again at once, not after the
    // -r pause, and the logon stays.
    server.Stop();
    ASSERT_TRUE(server.Start());
    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "pass-7");
    pressed = GetTickCount();
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; },
                          OpenRetryPauseMs + LoadMarginMs));
    EXPECT_LT(GetTickCount() - pressed, (DWORD)OpenRetryPauseMs) << "after the -r pause";
    ASSERT_TRUE(WaitExitCode(opener.child, 10000, 0)) << "a message box would hold it";
    EXPECT_EQ((std::vector<std::string>{logon, logon, LogoffCall(host), logon}), mpr.Calls());
}

TEST_F(OpenerLogon, EscapeCancels)
{
    PressKey(dialog, VK_ESCAPE);
    ASSERT_TRUE(WaitExitCode(opener.child, 10000, 0)) << "a message box would hold it";
}

TEST(OpenerLogonDialog, ThatCannotBeCreated)
{
    ASSERT_TRUE(SetUpInstallation(InstallRoot));
    MonitorServer server;
    MonitorServerScript refusing;
    refusing.inbound = true;
    ASSERT_TRUE(server.Start(refusing));
    const std::string copy = ExecDir() + "\\monopen-no115.exe";
    ASSERT_TRUE(CopyWithoutDialog(OpenerPath(), copy, 115));
    ProgramRun run = RunOpener("-default", StartOptions(), 20000, copy);
    DeleteFileA(copy.c_str());
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(std::vector<std::string>{"Could not open window."}, run.messages)
        << "and the exchange ends there";
}

} // namespace
