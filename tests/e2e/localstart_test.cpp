// The local monitor start: monitors.dat, the monitor variables and the
// start of gvview.exe, driven through svcprobe (which links the opener's
// code) against the fake installation, its service and the gvview.exe
// stand-in, which records how it was started.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "basesys.h"
#include "opener.h"

using namespace gv;

namespace {

const char DefaultFont[] = "family:MS Sans Serif-size:8-face:medium";
const char Home[] = "C:\\gvbase\\PROG\\EXEC";
const char NotSet[] = "Could not set monitor properties!(87)";
const char InvalidType[] = "Invalid command line parameter used for this monitor type!";
const char Unset[] = "(unset)";

const char *const MonitorVariables[] = {
    "KPX_MON_TYPE", "KPX_MS_WINDOWS_APPLICATION", "KPX_MS_WINDOWS_MONITOR",
    "KPX_X_TERMINAL_FONT", "DISPLAY", "PRINTFILE", "KPX_X_TERMINAL_APPLICATION",
    "KPX_X_TERMINAL_MONITOR", "FONT"};

// A property list as the VS Local request of "-default" carries it.
const char DefaultRequestList[] =
    "KPX_MS_WINDOWS_APPLICATION=0 KPX_MS_WINDOWS_MONITOR=0 "
    "KPX_X_TERMINAL_FONT=family:Gridvane0810-size:10 "
    "\"FONT=family:MS Sans Serif-size:8-face:medium\" DISPLAY=";

using Variables = std::map<std::string, std::string>;

// NAME=value and "NAME unset" lines of the probe's output.
Variables ProbeVariables(const ProgramRun &run)
{
    Variables variables;
    for (const std::string &line : SplitLines(run.output)) {
        size_t unset = line.find(" unset");
        if (unset != std::string::npos && unset + 6 == line.size())
            variables[line.substr(0, unset)] = Unset;
        else if (line.find('=') != std::string::npos && line.find(' ') > line.find('='))
            variables[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return variables;
}

// The "entry=" lines of the probe's output.
std::vector<std::string> SectionEntries(const ProgramRun &run)
{
    std::vector<std::string> entries;
    for (const std::string &line : SplitLines(run.output))
        if (line.compare(0, 6, "entry=") == 0)
            entries.push_back(line.substr(6));
    return entries;
}

std::string FirstLine(const ProgramRun &run)
{
    return run.output.substr(0, run.output.find_first_of("\r\n"));
}

std::string Value(const Variables &variables, const std::string &name)
{
    auto found = variables.find(name);
    return found == variables.end() ? Unset : found->second;
}

class LocalStart : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)) << GetLastError(); }
    static void TearDownTestSuite() { RemoveService(); }

    void SetUp() override
    {
        GV_ONLY_UNDER_WINE("the service \"Gridvane\" and the window station's and desktop's DACL");
        ClearFixtureLogs(InstallRoot);
        ASSERT_TRUE(InstallService(ServiceProgram()));
    }

    // The probe in the installation's directory, its monitor variables
    // holding stale values first, and a variable of its own that must
    // reach the monitor unchanged.
    static ProgramRun Probe(const std::string &arguments, std::vector<std::string> env = {})
    {
        StartOptions options;
        for (const char *name : MonitorVariables)
            options.env.push_back(std::string(name) + "=stale");
        options.env.push_back("HOME=C:\\stale\\");
        options.env.push_back("GV_PASSTHROUGH=kept as it is");
        options.env.insert(options.env.end(), env.begin(), env.end());
        ProgramRun run = RunProbe(arguments, options);
        EXPECT_TRUE(run.ended) << "svcprobe " << arguments << ": " << run.windows;
        return run;
    }
};

TEST_F(LocalStart, PropertyListWithAStringWithoutEqualsSign)
{
    ProgramRun run = Probe("monapply A=1 B C=x=y");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(std::vector<std::string>{"Syntax error in the monitor property list!"},
              run.messages);
    EXPECT_TRUE(run.icons[0]);
    Variables variables = ProbeVariables(run);
    EXPECT_EQ("1", Value(variables, "A"));
    EXPECT_EQ("x=y", Value(variables, "C"));
    EXPECT_EQ(DefaultFont, Value(variables, "FONT")) << "no FONT in the list";
    EXPECT_EQ(Home, Value(variables, "HOME")) << "without the trailing backslash";
    EXPECT_EQ("", Value(variables, "DISPLAY"));
}

TEST_F(LocalStart, EveryFailedVariableIsReportedAndSilencesTheSyntaxMessage)
{
    // An empty name cannot be set (error 87); the string without an equals
    // sign after it then goes unreported.
    ProgramRun run = Probe("monapply =first B =second D=4");
    std::vector<std::string> expected = {NotSet, NotSet};
    EXPECT_EQ(expected, run.messages);
    EXPECT_EQ("4", Value(ProbeVariables(run), "D")) << "the walk goes on after a failure";

    ProgramRun syntaxFirst = Probe("monapply B C =third");
    expected = {"Syntax error in the monitor property list!", NotSet};
    EXPECT_EQ(expected, syntaxFirst.messages);
}

TEST_F(LocalStart, FontIsReadBackIntoEightyCharacters)
{
    const struct {
        std::string given;
        std::string expected;
    } cases[] = {
        {"FONT=", DefaultFont},
        {"FONT=" + std::string(79, 'f'), std::string(79, 'f')},
        {"FONT=" + std::string(80, 'f'), DefaultFont},
        {"FONT=" + std::string(100, 'f'), DefaultFont},
    };
    for (const auto &c : cases) {
        ProgramRun run = Probe("monapply " + c.given);
        EXPECT_TRUE(run.messages.empty()) << c.given.size() << ": " << Joined(run.messages);
        EXPECT_EQ(c.expected, Value(ProbeVariables(run), "FONT")) << c.given.size();
    }
}

TEST_F(LocalStart, MonitorDefinitions)
{
    ProgramRun twelve = Probe("monread 12");
    EXPECT_TRUE(twelve.messages.empty()) << Joined(twelve.messages);
    EXPECT_EQ("result=1 type=0", FirstLine(twelve));
    std::vector<std::string> section = {"KPX_MON_TYPE=LVS",
                                        "KPX_MS_WINDOWS_APPLICATION=3",
                                        "KPX_MS_WINDOWS_MONITOR=4",
                                        "KPX_X_TERMINAL_FONT=family:Gridvane0810-size:12",
                                        "FONT=family:Courier-size:10-face:bold",
                                        "PRINTFILE=LPT2:",
                                        "GV_SECTION_EXTRA=extra=value"};
    EXPECT_EQ(section, SectionEntries(twelve)) << "the whole section, in file order";

    const struct {
        const char *setting;
        const char *result;
        const char *message;
    } cases[] = {
        {"13", "result=1 type=0", nullptr}, // no KPX_MON_TYPE: VS Local
        {"14", "result=1 type=1", nullptr},
        {"15", "result=1 type=2", nullptr},
        {"16", "result=0 type=-1", "Unknown monitor type defined in the monitor file!"},
        {"17", "result=0 type=-1", "An error occurred when reading the monitors.dat file!(0)"},
        {"19", "result=0 type=-1", "An error occurred when reading the monitors.dat file!(0)"},
        {"99", "result=0 type=-1", "An error occurred when reading the monitors.dat file!(0)"},
    };
    for (const auto &c : cases) {
        ProgramRun run = Probe(std::string("monread ") + c.setting);
        EXPECT_EQ(c.result, FirstLine(run)) << c.setting;
        if (c.message == nullptr) {
            EXPECT_TRUE(run.messages.empty()) << c.setting << ": " << Joined(run.messages);
        } else {
            EXPECT_EQ(std::vector<std::string>{c.message}, run.messages) << c.setting;
        }
    }
}

TEST_F(LocalStart, MonitorsFileMissing)
{
    const std::string file = MonitorsFile(InstallRoot);
    const std::string aside = file + ".aside";
    ASSERT_TRUE(MoveFileExA(file.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING));
    ProgramRun run = Probe("monread 12");
    MoveFileExA(aside.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
    EXPECT_EQ("result=0 type=-1", FirstLine(run));
    EXPECT_EQ(std::vector<std::string>{"An error occurred when reading the monitors.dat file!(2)"},
              run.messages);
}

TEST_F(LocalStart, ServiceNotInstalled)
{
    ASSERT_TRUE(RemoveService());
    const char notInstalled[] = "OpenService failed. Gridvane Service does not exist!";

    ProgramRun read = Probe("monread 12");
    EXPECT_EQ("result=0 type=-1", FirstLine(read));
    // The code is the failed open's, not what the message box before it
    // left behind (0).
    std::vector<std::string> expected = {
        notInstalled, "An error occurred when trying to get the path to Gridvane!(1060)"};
    EXPECT_EQ(expected, read.messages);

    ProgramRun apply = Probe("monapply A=1");
    expected = {notInstalled, "Could not set monitor properties!(1060)"};
    EXPECT_EQ(expected, apply.messages) << "for HOME";
    EXPECT_EQ("1", Value(ProbeVariables(apply), "A"));
    EXPECT_EQ("C:\\stale\\", Value(ProbeVariables(apply), "HOME"));

    ProgramRun launch = Probe(std::string("launch 0 ") + DefaultRequestList);
    EXPECT_EQ("result=0", FirstLine(launch));
    expected = {notInstalled, "Could not get Gridvane executable path!"};
    EXPECT_EQ(expected, launch.messages);
    EXPECT_FALSE(FixtureStarted(InstallRoot, "gvview.exe"));
}

TEST_F(LocalStart, TheMonitorGetsItsEnvironmentCommandLineDirectoryAndDesktop)
{
    ProgramRun run = Probe(std::string("launch 0 ") + DefaultRequestList,
                           {"WINEDEBUG=warn+process"});
    EXPECT_EQ("result=1", FirstLine(run));
    EXPECT_TRUE(run.messages.empty()) << "no access message either: " << Joined(run.messages);
    MonitorStart monitor = WaitForMonitorStart(InstallRoot);
    ASSERT_TRUE(monitor.complete) << "gvview.exe did not record its start";

    EXPECT_EQ("\"C:\\gvbase\\PROG\\EXEC\\gvview.exe\" -laf windows", monitor.commandLine);
    EXPECT_EQ(Home, monitor.directory);
    EXPECT_EQ("WinSta0\\Default", monitor.desktop);
    // Wine starts every process at normal priority and says so when asked
    // for another class: the flags the opener passed show in its debug
    // output instead.
    if (monitor.priority != "80") {
        EXPECT_EQ("20", monitor.priority);
        EXPECT_NE(std::string::npos, run.output.find("ignoring some flags in 80"))
            << "CreateProcess was not asked for HIGH_PRIORITY_CLASS (0x80) alone:\n"
            << run.output;
    }

    const Variables expected = {
        {"KPX_MON_TYPE", ""},
        {"KPX_MS_WINDOWS_APPLICATION", "0"},
        {"KPX_MS_WINDOWS_MONITOR", "0"},
        {"KPX_X_TERMINAL_FONT", "family:Gridvane0810-size:10"},
        {"DISPLAY", ""},
        {"PRINTFILE", ""},
        {"KPX_X_TERMINAL_APPLICATION", ""},
        {"KPX_X_TERMINAL_MONITOR", ""},
        {"FONT", DefaultFont},
        {"HOME", Home},
        {"GV_PASSTHROUGH", "kept as it is"},
    };
    for (const auto &variable : expected)
        EXPECT_EQ(variable.second, Value(monitor.environment, variable.first)) << variable.first;
}

TEST_F(LocalStart, AMonitorsDatSectionDrivesTheEnvironment)
{
    ProgramRun run = Probe("launchdef 12");
    EXPECT_EQ("read=1 type=0 result=1", FirstLine(run));
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    MonitorStart monitor = WaitForMonitorStart(InstallRoot);
    ASSERT_TRUE(monitor.complete);
    const Variables expected = {
        {"KPX_MON_TYPE", "LVS"},
        {"KPX_MS_WINDOWS_APPLICATION", "3"},
        {"KPX_MS_WINDOWS_MONITOR", "4"},
        {"KPX_X_TERMINAL_FONT", "family:Gridvane0810-size:12"},
        {"FONT", "family:Courier-size:10-face:bold"},
        {"PRINTFILE", "LPT2:"},
        {"GV_SECTION_EXTRA", "extra=value"},
        {"DISPLAY", ""},
        {"KPX_X_TERMINAL_APPLICATION", ""},
        {"KPX_X_TERMINAL_MONITOR", ""},
        {"HOME", Home},
    };
    for (const auto &variable : expected)
        EXPECT_EQ(variable.second, Value(monitor.environment, variable.first)) << variable.first;

    // A section without a type and one with an empty FONT.
    ClearFixtureLogs(InstallRoot);
    EXPECT_EQ("read=1 type=0 result=1", FirstLine(Probe("launchdef 13")));
    monitor = WaitForMonitorStart(InstallRoot);
    EXPECT_EQ("", Value(monitor.environment, "KPX_MON_TYPE"));
    EXPECT_EQ("5", Value(monitor.environment, "KPX_MS_WINDOWS_APPLICATION"));
    EXPECT_EQ(DefaultFont, Value(monitor.environment, "FONT"));

    ClearFixtureLogs(InstallRoot);
    EXPECT_EQ("read=1 type=0 result=1", FirstLine(Probe("launchdef 18")));
    monitor = WaitForMonitorStart(InstallRoot);
    EXPECT_EQ(DefaultFont, Value(monitor.environment, "FONT")) << "an empty FONT gets the default";
}

TEST_F(LocalStart, OnlyVsLocalMonitorsAreStarted)
{
    ProgramRun remote = Probe("launchdef 14");
    EXPECT_EQ("read=1 type=1 result=0", FirstLine(remote));
    EXPECT_EQ(std::vector<std::string>{InvalidType}, remote.messages);
    ProgramRun x = Probe("launch 2 DISPLAY=ws1:0");
    EXPECT_EQ("result=0", FirstLine(x));
    EXPECT_EQ(std::vector<std::string>{InvalidType}, x.messages);
    EXPECT_FALSE(FixtureStarted(InstallRoot, "gvview.exe"));
}

TEST_F(LocalStart, MonitorProgramMissing)
{
    ASSERT_TRUE(MakeDirectories("C:\\gvnoview\\PROG\\EXEC"));
    ASSERT_TRUE(InstallService("C:\\gvnoview\\PROG\\EXEC\\gvcore.exe"));
    ProgramRun run = Probe(std::string("launch 0 ") + DefaultRequestList);
    EXPECT_EQ("result=0", FirstLine(run));
    EXPECT_EQ(std::vector<std::string>{"Unable to create monitor process!(2)"}, run.messages);
}

TEST_F(LocalStart, ServiceDirectoryWithBlanks)
{
    // With the path unquoted, C:\Program.exe would run in gvview.exe's place.
    const std::string root = "C:\\Program Files\\gvbase\\";
    ASSERT_TRUE(SetUpInstallation(root));
    ASSERT_TRUE(CopyFileA(BinPath("gvview.exe").c_str(), "C:\\Program.exe", FALSE));
    DeleteFileA("C:\\Program.log");
    ASSERT_TRUE(InstallService(root + "PROG\\EXEC\\gvcore.exe"));

    ProgramRun run = Probe(std::string("launch 0 ") + DefaultRequestList);
    EXPECT_EQ("result=1", FirstLine(run));
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    MonitorStart monitor = WaitForMonitorStart(root);
    ASSERT_TRUE(monitor.complete);
    EXPECT_EQ("\"" + root + "PROG\\EXEC\\gvview.exe\" -laf windows", monitor.commandLine);
    EXPECT_EQ(root + "PROG\\EXEC", Value(monitor.environment, "HOME"));
    EXPECT_FALSE(FileExists("C:\\Program.log")) << "C:\\Program.exe was started";
    DeleteFileA("C:\\Program.exe");
}

TEST_F(LocalStart, AccessOperationsUnderWine)
{
    // Wine's window station and desktop carry no DACL: open to everybody,
    // so no entry is found and the grant leaves them as they are.
    for (const char *object : {"desktop", "station"}) {
        ProgramRun check = Probe(std::string("access check ") + object);
        EXPECT_EQ("result=1 found=0 error=0", FirstLine(check)) << object;
        ProgramRun grant = Probe(std::string("access grant ") + object);
        EXPECT_EQ("result=1 error=0", FirstLine(grant)) << object;
        EXPECT_TRUE(check.messages.empty() && grant.messages.empty());
    }
    // A user who is no account of this computer.
    EXPECT_EQ("result=0 found=0 error=1332",
              FirstLine(Probe("access check desktop gvnosuchuser")));
    EXPECT_EQ("result=0 error=1332", FirstLine(Probe("access grant station gvnosuchuser")));
}

// Run by its own test entry, with a user name longer than the 256
// characters the opener reads.
TEST(LongAccountName, TheLaunchStopsWhenTheUserNameCannotBeRead)
{
    GV_ONLY_UNDER_WINE("the service \"Gridvane\"");
    ASSERT_TRUE(SetUpInstallation(InstallRoot));
    ASSERT_TRUE(InstallService(ServiceProgram()));
    StartOptions options;
    ProgramRun run = RunProbe(std::string("launch 0 ") + DefaultRequestList, options);
    RemoveService();
    EXPECT_EQ("result=0", FirstLine(run));
    EXPECT_EQ(std::vector<std::string>{"Could not get current user account!(122)"}, run.messages);
    EXPECT_EQ("", FixtureLog(InstallRoot, "gvview.exe"));
}

} // namespace
