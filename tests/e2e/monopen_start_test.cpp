// The opener's front door, driven as an operator starts it: command-line
// errors, the hidden main window, the logged-on-user check, and where the
// messages go when it runs unattended (-n).
#include <gtest/gtest.h>

#include "basesys.h"
#include "opener.h"

using namespace gv;

namespace {

const char EventLogDebug[] = "WINEDEBUG=fixme+advapi,err+eventlog";
const char NotifierTitle[] = "Gridvane Service Notification";

class OpenerStart : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)); }
    void SetUp() override { ClearFixtureLogs(InstallRoot); }
};

TEST_F(OpenerStart, CommandLineErrorIsOneMessageAndTheEnd)
{
    ProgramRun run = RunOpener("-x");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(std::vector<std::string>{"Command line argument error."}, run.messages);
    EXPECT_TRUE(run.icons[0]) << "reported with MB_ICONHAND";
}

TEST_F(OpenerStart, ParserMessagesReachTheOperator)
{
    const struct {
        const char *arguments;
        const char *message;
    } cases[] = {
        {"-d NODE1 7 -default", "both -d and -default parameters are not allowed."},
        {"-r 1 -R 2", "Multiple same parameters are not allowed."},
        {"-serv_create_dir_disabled", "Command line parameter -serv_create_dir_disabled used "
                                      "without -start_serv."},
        {"-d NODE1 7 -s 2", "Arguments -fr, -fl and -s are not allowed with -d."},
        {"-d ABCDEFGHIJKLMNOP 7", "Command line argument error."},
    };
    for (const auto &c : cases) {
        ProgramRun run = RunOpener(c.arguments);
        ASSERT_TRUE(run.ended) << c.arguments << ": " << run.windows;
        EXPECT_EQ(0u, run.exitCode) << c.arguments;
        ASSERT_EQ(std::vector<std::string>{c.message}, run.messages) << c.arguments;
    }
}

TEST_F(OpenerStart, MainWindowStaysHiddenAndOwnsTheMessage)
{
    ChildGuard guard;
    ASSERT_TRUE(StartOpener(guard.child, "-x"));
    HWND box = WaitForMessageBox(guard.child.pid, OpenerCaption, 10000);
    ASSERT_NE(nullptr, box) << DescribeWindows(guard.child.pid);
    HWND main = ProcessWindow(guard.child.pid, "CPanel", OpenerCaption);
    ASSERT_NE(nullptr, main) << "no window of class CPanel";
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(main, GetWindow(box, GW_OWNER));
    DWORD style = WindowStyle(main);
    EXPECT_EQ((DWORD)(WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              style & ~(DWORD)(WS_CLIPSIBLINGS | WS_DISABLED))
        << std::hex << "style seen 0x" << style << " (disabled while the box is up)";
    ClickButton(box, IDOK);
    ASSERT_TRUE(WaitExitCode(guard.child, 10000, 0)) << "still running after OK";
}

TEST_F(OpenerStart, ProgramPathWithBlanksInQuotes)
{
    const std::string dir = "C:\\Program Files\\gvtest";
    ASSERT_TRUE(MakeDirectories(dir));
    const std::string copy = dir + "\\monopen.exe";
    ASSERT_TRUE(CopyFileA(OpenerPath().c_str(), copy.c_str(), FALSE));
    ProgramRun run = RunOpener("-serv_create_dir_disabled", StartOptions(), 20000, copy);
    ASSERT_TRUE(run.ended) << run.windows;
    ASSERT_EQ(1u, run.messages.size()) << Joined(run.messages);
    EXPECT_EQ("Command line parameter -serv_create_dir_disabled used without -start_serv.",
              run.messages[0])
        << "the arguments after the quoted program path were parsed";
}

TEST_F(OpenerStart, SettingsDialogThatCannotBeCreated)
{
    const std::string copy = ExecDir() + "\\monopen-no113.exe";
    ASSERT_TRUE(CopyWithoutDialog(OpenerPath(), copy, 113));
    ProgramRun run = RunOpener("", StartOptions(), 20000, copy);
    DeleteFileA(copy.c_str());
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{"Could not open window."}, run.messages);
}

class Unattended : public OpenerStart {
protected:
    void SetUp() override
    {
        GV_ONLY_UNDER_WINE("the service \"Gridvane\"");
        OpenerStart::SetUp();
        ASSERT_TRUE(InstallService(ServiceProgram()));
    }
    static void TearDownTestSuite() { RemoveService(); }

    std::string NotifierLog(const std::string &root = InstallRoot)
    {
        return FixtureLog(root, "GVMSG.EXE");
    }
    bool NotifierRan(const std::string &root = InstallRoot)
    {
        return WaitUntil([&] { return !NotifierLog(root).empty(); }, 5000);
    }
};

TEST_F(Unattended, OnAWorkstationMinusNIsRefused)
{
    ASSERT_TRUE(RemoveService());
    ProgramRun run = RunOpener("-n -default");
    ASSERT_TRUE(run.ended) << run.windows;
    ASSERT_EQ(2u, run.messages.size()) << Joined(run.messages);
    EXPECT_EQ("OpenService failed. Gridvane Service does not exist!", run.messages[0]);
    EXPECT_FALSE(run.icons[0]) << "the service-manager messages have style MB_OK";
    EXPECT_EQ("The command line argument -n can not be used from a Gridvane workstation.",
              run.messages[1]);
    EXPECT_TRUE(run.icons[1]);
}

TEST_F(Unattended, MessagesGoToTheEventLogAndStartTheNotifier)
{
    // Also for an installation under a folder with blanks whose service
    // binary path is in quotation marks, as installers write it.
    for (const Installation &installation : PlainAndQuotedInstallations()) {
        SCOPED_TRACE(installation.binaryPath);
        if (installation.root != InstallRoot) {
            ASSERT_TRUE(SetUpInstallation(installation.root));
            ASSERT_TRUE(InstallService(installation.binaryPath));
        }
        StartOptions options;
        options.captureOutput = true;
        options.env.push_back(EventLogDebug);
        options.currentDir = installation.root + "PROG\\EXEC";
        ProgramRun run = RunOpener("-n", options);
        ASSERT_TRUE(run.ended) << run.windows;
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
        EXPECT_NE(std::string::npos,
                  run.output.find("err:eventlog:ReportEventW L\"-n used without specifying the "
                                  "pre defined or default monitor.\""))
            << run.output;
        // type 1 (error), category 0, event 0xC0000061, no SID (a null pointer, printed as
        // wide as the opener's pointers, which are as wide as this test's), one string, no data
        std::string record = ",0x0001,0x0000,0xc0000061," + std::string(2 * sizeof(void *), '0') +
                             ",0x0001,0x00000000,";
        EXPECT_NE(std::string::npos, run.output.find(record)) << run.output;
        ASSERT_TRUE(NotifierRan(installation.root)) << "GVMSG.EXE was not started";
        EXPECT_EQ("ran \"" + installation.root + "PROG\\EXEC\\GVMSG.EXE\"\n",
                  NotifierLog(installation.root));
    }
}

TEST_F(Unattended, AFailedReportIsDroppedOnceAndInSilence)
{
    // Nobody is there to answer a box: one message ("-n" alone), and
    // whatever part of its report fails, the report is tried once, tells
    // nobody of its own failure, and the opener ends as usual.
    const struct {
        const char *point;
        int events; // written to the event log
    } cases[] = {
        {"eventsource", 0},
        {"eventwrite", 0},
        {"notifier", 1}, // the start of GVMSG.EXE
    };
    for (const auto &c : cases) {
        StartOptions options;
        options.env.push_back(std::string(EventLogDebug) + ",warn+debugstr");
        ProgramRun run = RunOpenerWithFaults("-n", std::string(c.point) + "*", options);
        ASSERT_TRUE(run.ended) << c.point << ": " << run.windows;
        EXPECT_EQ(0u, run.exitCode) << c.point;
        EXPECT_TRUE(run.messages.empty()) << c.point << ": " << Joined(run.messages);
        EXPECT_EQ(1, FaultCount(run, c.point)) << c.point << ":\n" << run.output;
        EXPECT_EQ(c.events, OutputCount(run, "err:eventlog:ReportEventW"))
            << c.point << ":\n" << run.output;
        EXPECT_FALSE(FixtureStarted(InstallRoot, "GVMSG.EXE")) << c.point;
    }
}

TEST_F(Unattended, NoSecondNotifierWhileItsWindowIsThere)
{
    HWND notifier = CreateWindowExA(0, "STATIC", NotifierTitle, WS_POPUP, 0, 0, 10, 10, NULL,
                                    NULL, NULL, NULL);
    ASSERT_NE(nullptr, notifier);
    StartOptions options;
    options.captureOutput = true;
    options.env.push_back(EventLogDebug);
    ProgramRun run = RunOpener("-n", options);
    DestroyWindow(notifier);
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_NE(std::string::npos, run.output.find("err:eventlog:ReportEventW")) << run.output;
    EXPECT_FALSE(FixtureStarted(InstallRoot, "GVMSG.EXE")) << "started although its window exists";
}

TEST_F(Unattended, PassOneMessagesAreAlwaysBoxes)
{
    ProgramRun run = RunOpener("-n -default -N");
    ASSERT_TRUE(run.ended) << run.windows;
    ASSERT_EQ(std::vector<std::string>{"Multiple same parameters are not allowed."}, run.messages);
}

TEST_F(Unattended, Windows95And98AlwaysShowBoxes)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
                                             "Software\\Wine\\AppDefaults\\monopen.exe", 0, NULL,
                                             0, KEY_ALL_ACCESS, NULL, &key, NULL));
    const struct {
        const char *version;
        bool messageBox;
    } cases[] = {{"win95", true}, {"win98", true}, {"winme", false}};
    for (const auto &c : cases) {
        RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE *)c.version,
                       (DWORD)strlen(c.version) + 1);
        StartOptions options;
        options.captureOutput = true;
        options.env.push_back(EventLogDebug);
        ProgramRun run = RunOpener("-n", options);
        EXPECT_TRUE(run.ended) << c.version << ": " << run.windows;
        if (c.messageBox) {
            EXPECT_EQ(1u, run.messages.size()) << c.version << ": " << Joined(run.messages);
            EXPECT_EQ(std::string::npos, run.output.find("err:eventlog")) << c.version;
        } else {
            EXPECT_TRUE(run.messages.empty()) << c.version << ": " << Joined(run.messages);
            EXPECT_NE(std::string::npos, run.output.find("err:eventlog")) << c.version;
        }
    }
    RegDeleteValueA(key, "Version");
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\monopen.exe");
}

// Run by its own test entry, with the Unix account (and so Wine's user
// name) "Gridvane".
TEST(GridvaneAccount, MayNotOpenAMonitor)
{
    ASSERT_TRUE(SetUpInstallation(InstallRoot));
    ProgramRun run = RunOpener("");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(std::vector<std::string>{"The Gridvane user is not allowed to open a monitor."},
              run.messages);
}

TEST(GridvaneAccount, UnattendedRunsSkipTheCheck)
{
    GV_ONLY_UNDER_WINE("the service \"Gridvane\"");
    ASSERT_TRUE(SetUpInstallation(InstallRoot));
    ASSERT_TRUE(InstallService(ServiceProgram()));
    StartOptions options;
    options.captureOutput = true;
    options.env.push_back(EventLogDebug);
    ProgramRun run = RunOpener("-n -default", options);
    RemoveService();
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_EQ(std::string::npos, run.output.find("not allowed")) << run.output;
}

} // namespace
