// Computer names from the notification window's command line: which are
// taken, which count as this computer, and which are refused.
#include <gtest/gtest.h>

#include <string>

#include "hostargs.h"
#include "hosttable.h"

namespace {

struct Names {
    bool taken[2];
    std::string name[2];
    bool local[2];
};

// The two calls the window makes: upper pane (local default), lower pane.
Names Parse(const std::string &commandLine, const char *computer = "VM")
{
    ArgumentCursor cursor = {};
    Names names;
    for (int i = 0; i < 2; i++) {
        char host[HostNameSize] = "junk";
        names.local[i] = true;
        names.taken[i] = NextHostArgument(&cursor, commandLine.c_str(), computer, i == 0, host,
                                          &names.local[i]);
        names.name[i] = host;
    }
    return names;
}

TEST(HostArguments, NoNameMeansThisComputer)
{
    Names n = Parse("C:\\gv\\notify.exe");
    EXPECT_TRUE(n.taken[0]);
    EXPECT_EQ("VM", n.name[0]);
    EXPECT_TRUE(n.local[0]);
    EXPECT_FALSE(n.taken[1]);
    EXPECT_EQ("", n.name[1]);

    n = Parse("notify.exe", nullptr);
    EXPECT_FALSE(n.taken[0]) << "no name and no computer name";
}

TEST(HostArguments, NamesKeepTheirCaseAndMayBeLocal)
{
    Names n = Parse("notify.exe vm NODE1");
    EXPECT_EQ("vm", n.name[0]);
    EXPECT_TRUE(n.local[0]);
    EXPECT_EQ("NODE1", n.name[1]);
    EXPECT_FALSE(n.local[1]);

    n = Parse("notify.exe NODE1 vmx");
    EXPECT_FALSE(n.local[0]);
    EXPECT_EQ("vmx", n.name[1]);
    EXPECT_TRUE(n.local[1]) << "a name that begins with the computer name is local";

    n = Parse("notify.exe V", "VM");
    EXPECT_FALSE(n.local[0]) << "shorter than the computer name";
    n = Parse("notify.exe vm", nullptr);
    EXPECT_EQ("vm", n.name[0]);
    EXPECT_FALSE(n.local[0]) << "without a computer name nothing is local";
}

TEST(HostArguments, BlanksSeparateTabsDoNot)
{
    Names n = Parse("notify.exe    A\tB     C   D");
    EXPECT_EQ("A\tB", n.name[0]);
    EXPECT_EQ("C", n.name[1]) << "the third name is never taken";
}

TEST(HostArguments, QuotedProgramPathStaysWhole)
{
    Names n = Parse("\"C:\\Program Files\\gv\\notify.exe\" NODE1");
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_FALSE(n.taken[1]);

    n = Parse("\"C:\\Program Files\\gv\\notify.exe\"");
    EXPECT_EQ("VM", n.name[0]);

    n = Parse("\"C:\\Program Files\\notify.exe");
    EXPECT_EQ("VM", n.name[0]) << "an unclosed quote runs to the end";
}

TEST(HostArguments, OverlongNamesAreRefusedNotCut)
{
    Names n = Parse("notify.exe ABCDEFGHIJKLMNOP NODE1");
    EXPECT_TRUE(n.taken[0]);
    EXPECT_EQ("", n.name[0]) << "16 characters do not fit";
    EXPECT_EQ("NODE1", n.name[1]);

    n = Parse("notify.exe ABCDEFGHIJKLMNO");
    EXPECT_EQ("ABCDEFGHIJKLMNO", n.name[0]) << "15 characters fit";
}

TEST(HostArguments, NameCutByTheCommandLineCopyIsRefused)
{
    // The second name runs past the 127 characters that are copied.
    std::string prefix = "notify.exe NODE1";
    std::string line = prefix + std::string(CommandCopySize - 1 - prefix.size() - 4, ' ') +
                       "NODE2LONG";
    Names n = Parse(line);
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_TRUE(n.taken[1]);
    EXPECT_EQ("", n.name[1]) << "NODE2 would be another computer";

    // A program path that fills the copy: the names are beyond it.
    n = Parse("\"C:\\" + std::string(130, 'p') + "\\notify.exe\" NODE1");
    EXPECT_TRUE(n.taken[0]);
    EXPECT_EQ("", n.name[0]) << "not this computer in place of the name that was cut";

    // Exactly 127 characters are copied whole.
    line = "notify.exe NODE1";
    line += std::string(CommandCopySize - 1 - line.size() - 5, ' ') + "NODE2";
    ASSERT_EQ((size_t)CommandCopySize - 1, line.size());
    n = Parse(line);
    EXPECT_EQ("NODE2", n.name[1]);
}

} // namespace
