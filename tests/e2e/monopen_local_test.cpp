// The opener and the local service: -start_serv makes sure the service runs
// before the request goes to the local pipe, -start_as_logon_user needs it
// running from this installation, and another computer's monitor needs
// neither.
#include <gtest/gtest.h>

#include "basesys.h"
#include "monopen/core/timing.h"
#include "monserver.h"
#include "opener.h"

using namespace gv;

namespace {

const char OtherExecDir[] = "C:\\gvother\\PROG\\EXEC";

class LocalService : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(SetUpInstallation(InstallRoot));
        ASSERT_TRUE(MakeDirectories(OtherExecDir));
        CopyFileA(BinPath("gvcore.exe").c_str(), (std::string(OtherExecDir) + "\\gvcore.exe").c_str(),
                  FALSE);
    }
    static void TearDownTestSuite() { RemoveService(); }
    void SetUp() override
    {
        GV_ONLY_UNDER_WINE("the service \"Gridvane\" and the window station's and desktop's DACL");
        ClearFixtureLogs(InstallRoot);
    }

    MonitorServer server;

    static void Service(const std::string &binaryPath, DWORD state)
    {
        ASSERT_TRUE(InstallService(binaryPath));
        if (state == SERVICE_RUNNING) {
            ASSERT_TRUE(StartServiceAndWait(SERVICE_RUNNING, 10000));
        }
    }
    std::string StarterLog() { return FixtureLog(InstallRoot, "Gv_Start.exe"); }
};

TEST_F(LocalService, StartServStartsAStoppedService)
{
    Service(ServiceProgram(), SERVICE_STOPPED);
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-default -start_serv");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_EQ((DWORD)SERVICE_RUNNING, ServiceCurrentState());
    EXPECT_EQ("cmd=\"C:\\gvbase\\PROG\\EXEC\\Gv_Start.exe\" -start -no_info_dialog\n"
              "cwd=C:\\gvbase\\PROG\\EXEC\n", StarterLog());
    EXPECT_EQ(1u, server.Requests().size()) << "the request follows the start";

    // A service that stays start-pending through every poll: the operator is
    // told, the settings dialog of -default stays unseen, and the program
    // ends without a request.
    Service(ServiceProgram() + " -pending", SERVICE_STOPPED);
    ChildGuard opener;
    DWORD start = GetTickCount();
    ASSERT_TRUE(StartOpener(opener.child, "-default -start_serv"));
    const DWORD polling = ServiceWaitPolls * ServiceWaitPollMs;
    HWND box = WaitForMessageBox(opener.child.pid, OpenerCaption, polling + LoadMarginMs);
    ASSERT_NE(nullptr, box) << DescribeWindows(opener.child.pid);
    EXPECT_GE(GetTickCount() - start, polling) << "told before the last poll";
    EXPECT_EQ("Could not start Gridvane service.", MessageBoxText(box));
    EXPECT_EQ(nullptr, WaitForDialog(opener.child.pid, OpenerCaption, 1043, 0))
        << "the hidden settings dialog was shown";
    PressMessageBox(box);
    EXPECT_TRUE(WaitExit(opener.child, 10000, nullptr));
    EXPECT_EQ((DWORD)SERVICE_START_PENDING, ServiceCurrentState());
    EXPECT_EQ(1u, server.Requests().size()) << "no request after the failed start";
}

TEST_F(LocalService, StartServWithCreateDirDisabled)
{
    Service(ServiceProgram(), SERVICE_STOPPED);
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-default -start_serv -serv_create_dir_disabled");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_EQ("cmd=\"C:\\gvbase\\PROG\\EXEC\\Gv_Start.exe\" -start -no_create_dir "
              "-no_info_dialog\ncwd=C:\\gvbase\\PROG\\EXEC\n", StarterLog());
    EXPECT_EQ(1u, server.Requests().size());
}

TEST_F(LocalService, StartServWithTheServiceAlreadyRunningHere)
{
    Service(ServiceProgram(), SERVICE_RUNNING);
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-default -start_serv");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_EQ("", StarterLog()) << "nothing to start";
    EXPECT_EQ(1u, server.Requests().size());
}

TEST_F(LocalService, StartServWhileAnotherInstallationRuns)
{
    Service(std::string(OtherExecDir) + "\\gvcore.exe", SERVICE_RUNNING);
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-default -start_serv");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(std::vector<std::string>{"Could not start Gridvane service."}, run.messages);
    EXPECT_EQ(1u, server.Requests().size()) << "the request still goes out";
}

TEST_F(LocalService, StartOptionsWithoutTheService)
{
    ASSERT_TRUE(RemoveService());
    ASSERT_TRUE(server.Start());
    const struct {
        std::string arguments;
        std::vector<std::string> messages;
    } cases[] = {
        {"-default -start_serv", {"Could not start Gridvane service."}},
        // The query fails without a word, and no monitor is started.
        {"-default -start_as_logon_user", {}},
        // monitors.dat is looked for before the service is.
        {"-d " + ComputerName() + " 12 -start_serv",
         {"OpenService failed. Gridvane Service does not exist!",
          "An error occurred when trying to get the path to Gridvane!(1060)"}},
    };
    for (const auto &c : cases) {
        ProgramRun run = RunOpener(c.arguments);
        ASSERT_TRUE(run.ended) << c.arguments << ": " << run.windows;
        EXPECT_EQ(c.messages, run.messages) << c.arguments;
    }
    EXPECT_TRUE(server.Requests().empty()) << "the query failed: nothing is sent";
    EXPECT_FALSE(FixtureStarted(InstallRoot, "gvview.exe"));
}

TEST_F(LocalService, StartServWithoutTheStarter)
{
    Service(ServiceProgram(), SERVICE_STOPPED);
    ASSERT_TRUE(MakeDirectories("C:\\gvempty"));
    ASSERT_TRUE(server.Start());
    StartOptions options;
    options.currentDir = "C:\\gvempty";
    ProgramRun run = RunOpener("-default -start_serv", options);
    ASSERT_TRUE(run.ended) << run.windows;
    ASSERT_EQ(std::vector<std::string>{"Service could not be started. Gv_Start.exe(2)."},
              run.messages);
    EXPECT_TRUE(run.icons[0]);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(LocalService, LogonUserStartNeedsTheServiceRunningHere)
{
    ASSERT_TRUE(server.Start());
    Service(ServiceProgram(), SERVICE_STOPPED);
    ProgramRun stopped = RunOpener("-default -start_as_logon_user");
    ASSERT_TRUE(stopped.ended) << stopped.windows;
    EXPECT_EQ(std::vector<std::string>{"Gridvane service is not running."}, stopped.messages);
    EXPECT_FALSE(FixtureStarted(InstallRoot, "gvview.exe")) << "no monitor may start";

    Service(std::string(OtherExecDir) + "\\gvcore.exe", SERVICE_RUNNING);
    ProgramRun elsewhere = RunOpener("-default -start_as_logon_user");
    ASSERT_TRUE(elsewhere.ended) << elsewhere.windows;
    EXPECT_EQ(std::vector<std::string>{"Another Gridvane service is already running!"},
              elsewhere.messages);
    EXPECT_TRUE(server.Requests().empty()) << "-start_as_logon_user never sends a request";
}

// ---- the monitor started on this computer ----

const char DefaultFont[] = "family:MS Sans Serif-size:8-face:medium";
const char InvalidForType[] = "Invalid command line parameter used for this monitor type!";

std::string Env(const MonitorStart &monitor, const std::string &name)
{
    auto found = monitor.environment.find(name);
    return found == monitor.environment.end() ? "(unset)" : found->second;
}

TEST_F(LocalService, DefaultMonitorStartedHere)
{
    // The same start from an installation under a folder with blanks,
    // whose service binary path is in quotation marks as installers write it.
    ASSERT_TRUE(server.Start());
    for (const Installation &installation : PlainAndQuotedInstallations(" -service")) {
        SCOPED_TRACE(installation.binaryPath);
        if (installation.root != InstallRoot) {
            ASSERT_TRUE(SetUpInstallation(installation.root));
        }
        Service(installation.binaryPath, SERVICE_RUNNING);
        StartOptions options;
        options.currentDir = installation.root + "PROG\\EXEC";
        ProgramRun run = RunOpener("-default -start_as_logon_user", options);
        ASSERT_TRUE(run.ended) << run.windows;
        EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
        EXPECT_TRUE(server.Requests().empty()) << "nothing is asked of the base system";
        MonitorStart monitor = WaitForMonitorStart(installation.root);
        ASSERT_TRUE(monitor.complete) << "gvview.exe was not started";
        EXPECT_EQ("\"" + installation.root + "PROG\\EXEC\\gvview.exe\" -laf windows",
                  monitor.commandLine);
        const std::pair<const char *, std::string> expected[] = {
            {"KPX_MON_TYPE", ""},
            {"KPX_MS_WINDOWS_APPLICATION", "0"},
            {"KPX_MS_WINDOWS_MONITOR", "0"},
            {"KPX_X_TERMINAL_FONT", "family:Gridvane0810-size:10"},
            {"FONT", DefaultFont},
            {"DISPLAY", ""},
            {"PRINTFILE", ""},
            {"KPX_X_TERMINAL_APPLICATION", ""},
            {"KPX_X_TERMINAL_MONITOR", ""},
            {"HOME", installation.root + "PROG\\EXEC"},
        };
        for (const auto &variable : expected)
            EXPECT_EQ(variable.second, Env(monitor, variable.first)) << variable.first;
    }
}

TEST_F(LocalService, FailedAccessChecksAndGrantsNeverStopTheMonitor)
{
    // Under Wine the window station and desktop carry no DACL and every
    // account of Wine's user resolves (LocalStart.AccessOperationsUnderWine):
    // the failures a standard user (5) or a domain account (1332) meets on
    // Windows are the test build's. Each point fails for the desktop and
    // then for the window station.
    Service(ServiceProgram(), SERVICE_RUNNING);
    const struct {
        const char *point;
        std::vector<std::string> messages;
    } cases[] = {
        {"checkdacl",
         {"Could not check desktop access rights!(5)", "Could not check station access rights!(5)"}},
        {"grantdacl",
         {"Could not set desktop access rights!(5)", "Could not set station access rights!(5)"}},
        {"lookup", {}}, // no account of this computer: no word, and no grant tried
    };
    for (const auto &c : cases) {
        ClearFixtureLogs(InstallRoot);
        StartOptions options;
        options.env.push_back("WINEDEBUG=warn+debugstr");
        ProgramRun run = RunOpenerWithFaults("-default -start_as_logon_user",
                                             std::string(c.point) + "*", options);
        ASSERT_TRUE(run.ended) << c.point << ": " << run.windows;
        EXPECT_EQ(c.messages, run.messages) << c.point;
        EXPECT_EQ(2, FaultCount(run, c.point)) << c.point << ":\n" << run.output;
        EXPECT_TRUE(WaitForMonitorStart(InstallRoot).complete)
            << c.point << ": gvview.exe was not started";
    }
}

TEST_F(LocalService, LocalFontTooLongForTheMonitorBecomesTheDefault)
{
    Service(ServiceProgram(), SERVICE_RUNNING);
    ProgramRun run = RunOpener("-default -start_as_logon_user -fl \"" + std::string(100, 'f') + "\"");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    MonitorStart monitor = WaitForMonitorStart(InstallRoot);
    ASSERT_TRUE(monitor.complete);
    EXPECT_EQ(DefaultFont, Env(monitor, "FONT"));

    ClearFixtureLogs(InstallRoot);
    run = RunOpener("-default -start_as_logon_user -fl \"family:Fixed-size:9\"");
    monitor = WaitForMonitorStart(InstallRoot);
    ASSERT_TRUE(monitor.complete);
    EXPECT_EQ("family:Fixed-size:9", Env(monitor, "FONT"));
}

TEST_F(LocalService, PredefinedMonitorStartedHere)
{
    Service(ServiceProgram(), SERVICE_RUNNING);
    ProgramRun run = RunOpener("-d " + ComputerName() + " 12 -start_as_logon_user");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    MonitorStart monitor = WaitForMonitorStart(InstallRoot);
    ASSERT_TRUE(monitor.complete) << "gvview.exe was not started";
    EXPECT_EQ("LVS", Env(monitor, "KPX_MON_TYPE")) << "the section's first entry arrives whole";
    EXPECT_EQ("3", Env(monitor, "KPX_MS_WINDOWS_APPLICATION"));
    EXPECT_EQ("4", Env(monitor, "KPX_MS_WINDOWS_MONITOR"));
}

TEST_F(LocalService, PredefinedMonitorsThatCannotBeStartedHere)
{
    Service(ServiceProgram(), SERVICE_RUNNING);
    const struct {
        int section;
        std::string message;
    } cases[] = {
        {14, InvalidForType},
        {15, InvalidForType},
        {16, "Unknown monitor type defined in the monitor file!"},
        // Wine's profile functions leave the error code at 0 here.
        {17, "An error occurred when reading the monitors.dat file!(0)"},
        {99, "An error occurred when reading the monitors.dat file!(0)"},
    };
    for (const auto &c : cases) {
        ProgramRun run = RunOpener("-d " + ComputerName() + " " + std::to_string(c.section) +
                                   " -start_as_logon_user");
        ASSERT_TRUE(run.ended) << c.section << ": " << run.windows;
        EXPECT_EQ(std::vector<std::string>{c.message}, run.messages) << "section " << c.section;
    }
    EXPECT_FALSE(FixtureStarted(InstallRoot, "gvview.exe")) << "no monitor may start";
}

TEST_F(LocalService, PredefinedMonitorWithStartServGoesToTheLocalPipe)
{
    Service(ServiceProgram(), SERVICE_STOPPED);
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-d " + ComputerName() + " 12 -start_serv");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_EQ((DWORD)SERVICE_RUNNING, ServiceCurrentState());
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ(std::string("DEF  12 \0", 9), server.Requests()[0]);

    run = RunOpener("-d " + ComputerName() + " 14 -start_serv");
    EXPECT_EQ(std::vector<std::string>{InvalidForType}, run.messages)
        << "the section must define a VS Local monitor";
    EXPECT_EQ(1u, server.Requests().size());
}

TEST_F(LocalService, LogonUserStartForAnotherComputerDoesNothing)
{
    ASSERT_TRUE(server.Start());
    ProgramRun run = RunOpener("-d " + OtherHostName() + " 7 -start_as_logon_user -start_serv");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ("", StarterLog()) << "-start_serv has no effect for another computer";
}

TEST_F(LocalService, DialogComesBackAfterTheServiceStart)
{
    Service(ServiceProgram(), SERVICE_STOPPED);
    ChildGuard opener;
    ASSERT_TRUE(StartOpener(opener.child, "-start_serv"));
    HWND dialog = WaitForDialog(opener.child.pid, OpenerCaption, 1043, 10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(opener.child.pid);
    RECT before;
    GetWindowRect(dialog, &before);
    ClickButton(dialog, IDOK);
    // no monitor server: the request fails after the service start
    EXPECT_EQ("Could not establish a connection to the Gridvane base system computer (2).",
              DismissMessageBox(opener.child.pid, OpenerCaption, 15000));
    EXPECT_EQ((DWORD)SERVICE_RUNNING, ServiceCurrentState());
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) && IsWindowEnabled(
                                           GetDlgItem(dialog, IDOK)); }, 5000))
        << "the dialog must be usable for another try";
    RECT after;
    GetWindowRect(dialog, &after);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    EXPECT_EQ(before.top, after.top);
}

} // namespace
