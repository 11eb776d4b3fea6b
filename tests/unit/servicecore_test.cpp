// Installation paths derived from the service configuration, the programs
// the opener starts, and the service-manager message texts.
#include <gtest/gtest.h>

#include <string>

#include "servicecore.h"

namespace {

TEST(ServicePaths, BinaryPathToDirectoryAndRoot)
{
    char dir[GvPathSize];
    ASSERT_TRUE(ServiceDirFromBinaryPath("C:\\base\\prog\\exec\\gvcore.exe", dir, sizeof dir));
    EXPECT_STREQ("C:\\base\\prog\\exec\\", dir);
    ASSERT_TRUE(ProductRootFromServiceDir(dir));
    EXPECT_STREQ("C:\\base\\", dir);
}

TEST(ServicePaths, QuotedPathsLoseTheirMarksAndArgumentsUnquotedOnesKeepThem)
{
    const struct {
        const char *binaryPath, *dir, *root;
    } rows[] = {
        {"\"C:\\Program Files\\Gv\\PROG\\EXEC\\gvcore.exe\"", "C:\\Program Files\\Gv\\PROG\\EXEC\\",
         "C:\\Program Files\\Gv\\"},
        {"\"C:\\a b\\PROG\\EXEC\\gvcore.exe\" -x D:\\log\\", "C:\\a b\\PROG\\EXEC\\", "C:\\a b\\"},
        // no closing mark: the path runs to the end, as Windows reads it
        {"\"C:\\a b\\PROG\\EXEC\\gvcore.exe", "C:\\a b\\PROG\\EXEC\\", "C:\\a b\\"},
        // unquoted: the last backslash decides, arguments or not
        {"C:\\x\\PROG\\EXEC\\gvcore.exe -c C:\\cfg", "C:\\x\\PROG\\EXEC\\gvcore.exe -c C:\\", NULL},
    };
    for (const auto &row : rows) {
        char dir[GvPathSize];
        ASSERT_TRUE(ServiceDirFromBinaryPath(row.binaryPath, dir, sizeof dir)) << row.binaryPath;
        EXPECT_STREQ(row.dir, dir) << row.binaryPath;
        if (row.root != NULL) {
            ASSERT_TRUE(ProductRootFromServiceDir(dir));
            EXPECT_STREQ(row.root, dir) << row.binaryPath;
        }
    }
    char dir[GvPathSize];
    EXPECT_FALSE(ServiceDirFromBinaryPath("\"gvcore.exe\" -c C:\\cfg", dir, sizeof dir))
        << "a backslash after the closing mark is no directory";
    EXPECT_FALSE(ServiceDirFromBinaryPath("\"", dir, sizeof dir));
}

TEST(ServicePaths, UnusablePathsFailInsteadOfCuttingOutsideTheBuffer)
{
    char dir[GvPathSize];
    EXPECT_FALSE(ServiceDirFromBinaryPath("gvcore.exe", dir, sizeof dir));
    EXPECT_STREQ("", dir);
    EXPECT_FALSE(ServiceDirFromBinaryPath("", dir, sizeof dir));

    char shortDir[] = "PROG\\EXEC\\";
    EXPECT_FALSE(ProductRootFromServiceDir(shortDir));
    EXPECT_STREQ("PROG\\EXEC\\", shortDir);
    char eleven[] = "CPROG\\EXEC\\";
    ASSERT_TRUE(ProductRootFromServiceDir(eleven));
    EXPECT_STREQ("C", eleven);
    char empty[] = "";
    EXPECT_FALSE(ProductRootFromServiceDir(empty));
}

TEST(ServicePaths, OverlongBinaryPathIsCutAt259Characters)
{
    std::string path = "C:\\" + std::string(300, 'a') + "\\gvcore.exe";
    char dir[GvPathSize];
    ASSERT_TRUE(ServiceDirFromBinaryPath(path.c_str(), dir, sizeof dir));
    EXPECT_STREQ("C:\\", dir) << "the last backslash within the first 259 characters decides";
    std::string deep = "C:\\" + std::string(200, 'b') + "\\" + std::string(100, 'c');
    ASSERT_TRUE(ServiceDirFromBinaryPath(deep.c_str(), dir, sizeof dir));
    EXPECT_EQ("C:\\" + std::string(200, 'b') + "\\", dir);
}

TEST(ServicePaths, ExpectedProgramPathLength)
{
    char path[GvPathSize];
    std::string dir(247, 'd'); // 247 + 11 = 258
    ASSERT_TRUE(BuildExpectedServicePath(dir.c_str(), path, sizeof path));
    EXPECT_EQ(dir + "\\gvcore.exe", path);
    dir += 'd';
    EXPECT_FALSE(BuildExpectedServicePath(dir.c_str(), path, sizeof path));
}

TEST(ServicePaths, RunningFromThisInstallation)
{
    const char *expected = "c:\\base\\prog\\exec\\gvcore.exe";
    EXPECT_TRUE(ServiceRunsFromHere("C:\\Base\\PROG\\EXEC\\gvcore.exe", expected));
    EXPECT_TRUE(ServiceRunsFromHere("C:\\Base\\PROG\\EXEC\\GVCORE.EXE -service", expected));
    EXPECT_TRUE(ServiceRunsFromHere("\"C:\\Base\\PROG\\EXEC\\gvcore.exe\"", expected));
    EXPECT_TRUE(ServiceRunsFromHere("\"c:\\base\\prog\\exec\\gvcore.exe\" -service", expected));
    EXPECT_FALSE(ServiceRunsFromHere("\"C:\\Base\\PROG\\EXEC\\gv\"core.exe", expected))
        << "the name goes on after the closing mark";
    EXPECT_FALSE(ServiceRunsFromHere("\"\"C:\\Base\\PROG\\EXEC\\gvcore.exe", expected));
    EXPECT_FALSE(ServiceRunsFromHere("D:\\other\\PROG\\EXEC\\gvcore.exe", expected));
    EXPECT_FALSE(ServiceRunsFromHere("C:\\Base\\PROG\\EXEC\\gvcore.ex", expected));
    EXPECT_FALSE(ServiceRunsFromHere("", expected));
}

TEST(ServicePaths, StarterCommandLines)
{
    char application[GvPathSize];
    char command[GvCommandSize];
    ASSERT_TRUE(BuildStarterCommand("C:\\Program Files\\gv\\PROG\\EXEC", false, application,
                                    sizeof application, command, sizeof command));
    EXPECT_STREQ("C:\\Program Files\\gv\\PROG\\EXEC\\Gv_Start.exe", application);
    EXPECT_STREQ("\"C:\\Program Files\\gv\\PROG\\EXEC\\Gv_Start.exe\" -start -no_info_dialog",
                 command);
    ASSERT_TRUE(BuildStarterCommand("C:\\gv", true, application, sizeof application, command,
                                    sizeof command));
    EXPECT_STREQ("\"C:\\gv\\Gv_Start.exe\" -start -no_create_dir -no_info_dialog", command);
}

TEST(ServicePaths, StarterCommandLengthLimit)
{
    char application[GvPathSize];
    char command[GvCommandSize];
    // "\Gv_Start.exe -start -no_info_dialog" has 36 characters.
    std::string dir(258 - 36, 'd');
    EXPECT_TRUE(BuildStarterCommand(dir.c_str(), false, application, sizeof application, command,
                                    sizeof command));
    dir += 'd';
    EXPECT_FALSE(BuildStarterCommand(dir.c_str(), false, application, sizeof application,
                                     command, sizeof command));
    // "-no_create_dir " makes the limit 15 characters tighter.
    dir.resize(258 - 51);
    EXPECT_TRUE(BuildStarterCommand(dir.c_str(), true, application, sizeof application, command,
                                    sizeof command));
    dir += 'd';
    EXPECT_FALSE(BuildStarterCommand(dir.c_str(), true, application, sizeof application, command,
                                     sizeof command));
}

TEST(ServicePaths, NotifierCommand)
{
    char application[GvPathSize];
    char command[GvCommandSize];
    ASSERT_TRUE(BuildNotifierCommand("D:\\base\\", application, sizeof application, command,
                                     sizeof command));
    EXPECT_STREQ("D:\\base\\PROG\\EXEC\\GVMSG.EXE", application);
    EXPECT_STREQ("\"D:\\base\\PROG\\EXEC\\GVMSG.EXE\"", command);
    std::string root(255, 'r');
    EXPECT_FALSE(BuildNotifierCommand(root.c_str(), application, sizeof application, command,
                                      sizeof command));
}

TEST(ServiceMessages, ManagerGroup)
{
    char text[128];
    ManagerErrorText(5, text, sizeof text);
    EXPECT_STREQ("OpenSCManager failed! Access denied!", text);
    ManagerErrorText(1065, text, sizeof text);
    EXPECT_STREQ("OpenSCManager failed! The specified database does not exist.", text);
    ManagerErrorText(87, text, sizeof text);
    EXPECT_STREQ("OpenSCManager failed! A parameter that was specified is invalid.", text);
    ManagerErrorText(1115, text, sizeof text);
    EXPECT_STREQ("OpenSCManager failed! Error 1115", text);
    ManagerErrorText(0x80070005u, text, sizeof text);
    EXPECT_STREQ("OpenSCManager failed! Error -2147024891", text) << "%ld of the code";
}

TEST(ServiceMessages, ServiceGroup)
{
    char text[128];
    ServiceErrorText(5, text, sizeof text);
    EXPECT_STREQ("OpenService failed. Access denied!", text);
    ServiceErrorText(6, text, sizeof text);
    EXPECT_STREQ("OpenService failed. Invalid handle!", text);
    ServiceErrorText(123, text, sizeof text);
    EXPECT_STREQ("OpenService failed. The specified service name is invalid!", text);
    ServiceErrorText(1060, text, sizeof text);
    EXPECT_STREQ("OpenService failed. Gridvane Service does not exist!", text);
    ServiceErrorText(1072, text, sizeof text);
    EXPECT_STREQ("OpenService failed! Error 1072", text);
}

} // namespace
