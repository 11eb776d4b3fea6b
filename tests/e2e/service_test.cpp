// The opener's service operations against a real service "Gridvane",
// through svcprobe, which links the same code and prints what the opener
// only acts upon.
#include <gtest/gtest.h>

#include "basesys.h"
#include "opener.h"

using namespace gv;

namespace {

const char NotInstalled[] = "OpenService failed. Gridvane Service does not exist!";

class ServiceControl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)); }
    static void TearDownTestSuite() { RemoveService(); }
    void SetUp() override
    {
        GV_ONLY_UNDER_WINE("the service \"Gridvane\"");
        ClearFixtureLogs(InstallRoot);
    }

    static void Install(const std::string &binaryPath, DWORD state)
    {
        ASSERT_TRUE(InstallService(binaryPath)) << binaryPath;
        if (state != SERVICE_STOPPED) {
            ASSERT_TRUE(StartServiceAndWait(state, 10000)) << "service did not reach " << state;
        }
    }

    static std::string FirstLine(const ProgramRun &run)
    {
        if (!run.ended)
            return "(svcprobe did not end: " + run.windows + ")";
        return run.output.substr(0, run.output.find_first_of("\r\n"));
    }

    static ProgramRun Probe(const std::string &arguments, const std::string &dir = ExecDir())
    {
        StartOptions options;
        options.currentDir = dir;
        return RunProbe(arguments, options);
    }
};

TEST_F(ServiceControl, RunningFromThisInstallation)
{
    Install(ServiceProgram(), SERVICE_RUNNING);
    EXPECT_EQ("result=1 state=2", FirstLine(Probe("query")));
    EXPECT_EQ("result=1 state=2", FirstLine(Probe("query", "c:\\GVBASE\\prog\\exec")))
        << "the directory is compared without regard to letter case";
}

TEST_F(ServiceControl, ArgumentsAfterTheProgramDoNotMatter)
{
    Install(ServiceProgram() + " -config x", SERVICE_RUNNING);
    EXPECT_EQ("result=1 state=2", FirstLine(Probe("query")));
}

TEST_F(ServiceControl, AnotherInstallationsService)
{
    const std::string other = "C:\\gvother\\PROG\\EXEC";
    ASSERT_TRUE(MakeDirectories(other));
    Install(ServiceProgram(), SERVICE_RUNNING);
    EXPECT_EQ("result=1 state=3", FirstLine(Probe("query", other)));
}

TEST_F(ServiceControl, QuotedBinaryPath)
{
    // Installers put a binary path with blanks in quotation marks: the marks
    // and what follows the closing one are no part of the program's path.
    const std::string blanks = "C:\\Program Files\\gvbase\\";
    ASSERT_TRUE(SetUpInstallation(blanks));
    const struct {
        std::string root, binaryPath;
    } rows[] = {
        {InstallRoot, "\"" + ServiceProgram() + "\""},
        {InstallRoot, "\"" + ServiceProgram() + "\" -config \"D:\\gv log\\\""},
        {blanks, "\"" + blanks + "PROG\\EXEC\\gvcore.exe\""},
    };
    for (const auto &row : rows) {
        Install(row.binaryPath, SERVICE_RUNNING);
        ProgramRun query = Probe("query", row.root + "PROG\\EXEC");
        EXPECT_EQ("result=1 state=2", FirstLine(query)) << row.binaryPath;
        ProgramRun dir = Probe("execdir");
        EXPECT_EQ("result=1 path=" + row.root + "PROG\\EXEC\\", FirstLine(dir)) << row.binaryPath;
        EXPECT_EQ("result=1 path=" + row.root, FirstLine(Probe("product"))) << row.binaryPath;
        EXPECT_TRUE(query.messages.empty() && dir.messages.empty());
    }
}

TEST_F(ServiceControl, StoppedAndStartPending)
{
    Install(ServiceProgram(), SERVICE_STOPPED);
    EXPECT_EQ("result=1 state=1", FirstLine(Probe("query")));
    Install(ServiceProgram() + " -pending", SERVICE_START_PENDING);
    EXPECT_EQ("result=1 state=0", FirstLine(Probe("query")));
}

TEST_F(ServiceControl, NotInstalled)
{
    ASSERT_TRUE(RemoveService());
    ProgramRun query = Probe("query");
    EXPECT_EQ("result=0 state=0", FirstLine(query));
    EXPECT_TRUE(query.messages.empty()) << "the query fails silently: " << Joined(query.messages);

    ProgramRun silent = Probe("product");
    EXPECT_EQ("result=0 path=", FirstLine(silent));
    EXPECT_TRUE(silent.messages.empty()) << "no owner, no message: " << Joined(silent.messages);

    ProgramRun owned = Probe("-owner product");
    EXPECT_EQ("result=0 path=", FirstLine(owned));
    ASSERT_EQ(std::vector<std::string>{NotInstalled}, owned.messages);
    EXPECT_FALSE(owned.icons[0]);

    ProgramRun dir = Probe("execdir");
    ASSERT_EQ(std::vector<std::string>{NotInstalled}, dir.messages) << "also without an owner";

    ProgramRun start = Probe("start"); // the starter fails, the wait reports
    EXPECT_EQ("result=0", FirstLine(start));
    ASSERT_EQ(std::vector<std::string>{NotInstalled}, start.messages);
    EXPECT_TRUE(start.icons[0]) << "the wait reports with MB_ICONHAND";
}

TEST_F(ServiceControl, InstallationPaths)
{
    Install(ServiceProgram(), SERVICE_STOPPED);
    EXPECT_EQ("result=1 path=C:\\gvbase\\PROG\\EXEC\\", FirstLine(Probe("execdir")));
    EXPECT_EQ("result=1 path=C:\\gvbase\\", FirstLine(Probe("product")));
}

TEST_F(ServiceControl, UnusableBinaryPathsFail)
{
    Install("gvcore.exe", SERVICE_STOPPED);
    ProgramRun dir = Probe("-owner execdir");
    EXPECT_EQ("result=0 path=", FirstLine(dir));
    EXPECT_TRUE(dir.messages.empty()) << Joined(dir.messages);

    Install("C:\\gvcore.exe", SERVICE_STOPPED);
    EXPECT_EQ("result=1 path=C:\\", FirstLine(Probe("execdir")));
    EXPECT_EQ("result=0 path=", FirstLine(Probe("product"))) << "no root above C:\\";
}

TEST_F(ServiceControl, StarterFromADirectoryWithBlanks)
{
    const std::string dir = "C:\\Program Files\\gvbase\\PROG\\EXEC";
    ASSERT_TRUE(MakeDirectories(dir));
    ASSERT_TRUE(CopyFileA(BinPath("Gv_Start.exe").c_str(), (dir + "\\Gv_Start.exe").c_str(),
                          FALSE));
    DeleteFileA((dir + "\\Gv_Start.log").c_str());
    Install(ServiceProgram(), SERVICE_STOPPED);
    ProgramRun run = Probe("start", dir);
    EXPECT_EQ("result=1", FirstLine(run)) << Joined(run.messages);
    EXPECT_EQ("cmd=\"" + dir + "\\Gv_Start.exe\" -start -no_info_dialog\ncwd=" + dir + "\n",
              ReadFileText(dir + "\\Gv_Start.log"));
}

TEST_F(ServiceControl, StartFindsARunningServiceRunning)
{
    Install(ServiceProgram(), SERVICE_RUNNING);
    ProgramRun run = Probe("start");
    EXPECT_EQ("result=1", FirstLine(run));
    EXPECT_TRUE(run.messages.empty());
}

TEST_F(ServiceControl, CurrentDirectoryTooLong)
{
    // 200 + 40 characters: with "\gvcore.exe" or the starter's arguments
    // the text would pass 258 characters.
    const std::string deep = "C:\\gvdeep\\" + std::string(200, 'd') + "\\" + std::string(38, 'e');
    ASSERT_TRUE(MakeDirectories(deep)) << GetLastError();
    ASSERT_TRUE(CopyFileA(BinPath("Gv_Start.exe").c_str(), (deep + "\\Gv_Start.exe").c_str(),
                          FALSE));
    Install(ServiceProgram(), SERVICE_STOPPED);
    ProgramRun start = Probe("start", deep);
    EXPECT_EQ("result=0", FirstLine(start));
    EXPECT_TRUE(start.messages.empty()) << Joined(start.messages);
    EXPECT_FALSE(FileExists(deep + "\\Gv_Start.log")) << "the starter ran";

    const std::string deeper = deep + "\\ffffffff";
    ASSERT_TRUE(MakeDirectories(deeper));
    ProgramRun query = Probe("query", deeper);
    EXPECT_EQ("result=0 state=0", FirstLine(query));
    EXPECT_TRUE(query.messages.empty()) << Joined(query.messages);
}

} // namespace
