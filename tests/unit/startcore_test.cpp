// Start-up and reporting decisions of the opener.
#include <gtest/gtest.h>

#include "startcore.h"

namespace {

TEST(Startup, Windows9xIsPlatformOneWithMinorZeroOrTen)
{
    EXPECT_TRUE(IsWin9xVersion(1, 0));   // Windows 95
    EXPECT_TRUE(IsWin9xVersion(1, 10));  // Windows 98
    EXPECT_FALSE(IsWin9xVersion(1, 90)); // Windows Me
    EXPECT_FALSE(IsWin9xVersion(2, 0));
    EXPECT_FALSE(IsWin9xVersion(2, 10));
    // No event log there: -n keeps the boxes (NT's choice: the e2e Unattended cases).
    for (bool interactive : {false, true})
        EXPECT_TRUE(ReportsToMessageBox(interactive, IsWin9xVersion(1, 10))) << interactive;
}

TEST(Startup, LoggedOnUserCheck)
{
    EXPECT_STREQ("Could not retrive the name of the logged on user.", CheckLoggedOnUser(false, ""));
    EXPECT_STREQ("The Gridvane user is not allowed to open a monitor.",
                 CheckLoggedOnUser(true, "Gridvane"));
    EXPECT_EQ(nullptr, CheckLoggedOnUser(true, "gridvane"));
    EXPECT_EQ(nullptr, CheckLoggedOnUser(true, "GRIDVANE"));
    EXPECT_EQ(nullptr, CheckLoggedOnUser(true, "Gridvane2"));
    EXPECT_EQ(nullptr, CheckLoggedOnUser(true, "operator"));
}

TEST(Reporting, StyleToEventType)
{
    EXPECT_EQ(1, EventTypeForStyle(0));
    EXPECT_EQ(1, EventTypeForStyle(16));
    EXPECT_EQ(2, EventTypeForStyle(32));
    EXPECT_EQ(2, EventTypeForStyle(48));
    EXPECT_EQ(4, EventTypeForStyle(64));
    EXPECT_EQ(4, EventTypeForStyle(1));      // MB_OKCANCEL
    EXPECT_EQ(4, EventTypeForStyle(16 | 1)); // a button bit
    EXPECT_EQ(4, EventTypeForStyle(0x100));
    EXPECT_EQ(4, EventTypeForStyle(0x1030));
}

} // namespace
