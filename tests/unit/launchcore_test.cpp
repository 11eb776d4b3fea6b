// Names, paths and decisions of the local monitor start: monitors.dat,
// monitor types, HOME, FONT, the gvview.exe command line and which access
// failures are reported.
#include <gtest/gtest.h>

#include <string>

#include "launchcore.h"
#include "servicecore.h"

namespace {

TEST(MonitorFile, SectionNamesAndFilePath)
{
    char name[16];
    ASSERT_TRUE(MonitorSectionName(12, name, sizeof name));
    EXPECT_STREQ("12", name);
    ASSERT_TRUE(MonitorSectionName(0, name, sizeof name));
    EXPECT_STREQ("0", name);
    ASSERT_TRUE(MonitorSectionName(4294967295u, name, sizeof name));
    EXPECT_STREQ("4294967295", name);

    char path[GvPathSize];
    ASSERT_TRUE(MonitorsFilePath("C:\\base\\prog\\exec\\", path, sizeof path));
    EXPECT_STREQ("C:\\base\\SYS\\ACTIVE\\SYS_\\monitors.dat", path);
    EXPECT_FALSE(MonitorsFilePath("C:\\", path, sizeof path)) << "no PROG\\EXEC level to cut";
    EXPECT_STREQ("", path);
    std::string deep = "C:\\" + std::string(240, 'd') + "\\PROG\\EXEC\\";
    EXPECT_FALSE(MonitorsFilePath(deep.c_str(), path, sizeof path)) << "longer than MAX_PATH";
}

TEST(MonitorFile, MonitorTypesAreComparedExactly)
{
    int32_t type = -1;
    ASSERT_TRUE(MonitorTypeFromName("LVS", &type));
    EXPECT_EQ(0, type);
    ASSERT_TRUE(MonitorTypeFromName("RVS", &type));
    EXPECT_EQ(1, type);
    ASSERT_TRUE(MonitorTypeFromName("XMON", &type));
    EXPECT_EQ(2, type);
    for (const char *other : {"lvs", "Lvs", "LVS ", "XMON2", "XMO", "DEF", ""}) {
        type = 7;
        EXPECT_FALSE(MonitorTypeFromName(other, &type)) << other;
        EXPECT_EQ(7, type) << "unchanged for " << other;
    }
}

TEST(MonitorEnvironment, HomeAndFont)
{
    char home[GvPathSize];
    ASSERT_TRUE(HomeFromServiceDir("C:\\gvbase\\PROG\\EXEC\\", home, sizeof home));
    EXPECT_STREQ("C:\\gvbase\\PROG\\EXEC", home);
    ASSERT_TRUE(HomeFromServiceDir("C:\\", home, sizeof home));
    EXPECT_STREQ("C:", home);

    // The read-back buffer holds 79 characters and the NUL; a longer value
    // reports the size it needs.
    std::string fits(79, 'f');
    EXPECT_FALSE(FontNeedsDefault(79, fits.c_str()));
    EXPECT_TRUE(FontNeedsDefault(81, "")) << "80 characters do not fit";
    EXPECT_TRUE(FontNeedsDefault(101, "")) << "a -fl font of 100 characters";
    EXPECT_TRUE(FontNeedsDefault(0, "")) << "FONT empty or not set";
}

TEST(MonitorLaunch, CommandLineQuotesThePath)
{
    char application[GvPathSize];
    char commandLine[GvCommandSize];
    ASSERT_TRUE(BuildMonitorCommand("C:\\Program Files\\base\\prog\\exec\\", application,
                                    sizeof application, commandLine, sizeof commandLine));
    EXPECT_STREQ("C:\\Program Files\\base\\prog\\exec\\gvview.exe", application);
    EXPECT_STREQ("\"C:\\Program Files\\base\\prog\\exec\\gvview.exe\" -laf windows", commandLine);

    std::string longest(249, 'd'); // 249 + 10 = 259 characters
    ASSERT_TRUE(BuildMonitorCommand(longest.c_str(), application, sizeof application,
                                    commandLine, sizeof commandLine));
    longest += 'd';
    EXPECT_FALSE(BuildMonitorCommand(longest.c_str(), application, sizeof application,
                                     commandLine, sizeof commandLine));
}

TEST(MonitorLaunch, AccessFailureMessages)
{
    EXPECT_STREQ("Could not check desktop access rights", AccessFailureText(true, false, 5));
    EXPECT_STREQ("Could not check station access rights", AccessFailureText(false, false, 5));
    EXPECT_STREQ("Could not set desktop access rights", AccessFailureText(true, true, 5));
    EXPECT_STREQ("Could not set station access rights", AccessFailureText(false, true, 5));
    // A user who is no account of this computer is not reported by a check.
    EXPECT_EQ(nullptr, AccessFailureText(true, false, 1332));
    EXPECT_EQ(nullptr, AccessFailureText(false, false, 1332));
    EXPECT_STREQ("Could not set station access rights", AccessFailureText(false, true, 1332));
}

} // namespace
