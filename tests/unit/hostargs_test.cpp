// Computer names from the notification window's command line: which are
// taken, which count as this computer, and which are refused.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "hostargs.h"
#include "hosttable.h"
#include "panecore.h"

namespace {

struct Names {
    bool taken[2];
    std::string name[2];
    bool local[2];
    NameRefusal refusal[2];
    std::string report[2]; /* what a refused name's pane says */
};

// The two calls the window makes: upper pane (local default), lower pane.
Names Parse(const std::string &commandLine, const char *computer = "VM")
{
    ArgumentCursor cursor = {};
    Names names;
    for (int i = 0; i < 2; i++) {
        char host[HostNameSize] = "junk";
        RefusedName refused;
        memset(&refused, 'x', sizeof refused);
        names.local[i] = true;
        names.taken[i] = NextHostArgument(&cursor, commandLine.c_str(), computer, i == 0, host,
                                          &names.local[i], &refused);
        names.name[i] = host;
        names.refusal[i] = refused.reason;
        char text[PaneLineSize];
        memset(text, 'x', sizeof text);
        if (refused.reason != NameTaken)
            FormatRefusedName(text, sizeof text, &refused);
        else
            text[0] = '\0';
        names.report[i] = text;
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
    EXPECT_EQ(NameTooLong, n.refusal[0]);
    EXPECT_EQ("The computer name \"ABCDEFGHIJKLMNOP\" is not used: a computer name has at most "
              "15 characters.",
              n.report[0]);
    EXPECT_EQ("NODE1", n.name[1]);
    EXPECT_EQ(NameTaken, n.refusal[1]);

    n = Parse("notify.exe ABCDEFGHIJKLMNO");
    EXPECT_EQ("ABCDEFGHIJKLMNO", n.name[0]) << "15 characters fit";
    EXPECT_EQ(NameTaken, n.refusal[0]);

    // A very long name is reported by its first characters and its length,
    // whole in a pane line with the report prefix.
    std::string huge = std::string(RefusedNameShown, 'A') + std::string(5000, 'B');
    n = Parse("notify.exe NODE1 " + huge);
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_EQ(NameTooLong, n.refusal[1]);
    EXPECT_EQ("The computer name \"" + std::string(RefusedNameShown, 'A') +
                  "...\" (5040 characters) is not used: a computer name has at most 15 "
                  "characters.",
              n.report[1]);
    EXPECT_LT(n.report[1].size() + sizeof "[notify] ", (size_t)PaneLineSize);
}

TEST(HostArguments, NameCutByTheCommandLineCopyIsRefused)
{
    // The second name runs past the 127 characters copied after the
    // program path.
    std::string prefix = " NODE1";
    std::string rest = prefix + std::string(CommandCopySize - 1 - prefix.size() - 4, ' ') +
                       "NODE2LONG";
    Names n = Parse("notify.exe" + rest);
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_TRUE(n.taken[1]);
    EXPECT_EQ("", n.name[1]) << "NODE2 would be another computer";
    EXPECT_EQ(NameCutOff, n.refusal[1]);
    EXPECT_EQ("The computer name \"NODE2LONG\" is not used: it was cut off by the length of "
              "the command line.",
              n.report[1])
        << "named as given, not as cut";

    // A name beyond the copy, after blanks that fill it: cut off too.
    n = Parse("notify.exe NODE1" + std::string(200, ' ') + "NODE2");
    EXPECT_EQ(NameCutOff, n.refusal[1]);
    EXPECT_NE(std::string::npos, n.report[1].find("\"NODE2\""));

    // Blanks at the end are no name, however many.
    n = Parse("notify.exe NODE1" + std::string(200, ' '));
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_FALSE(n.taken[1]);
    n = Parse("notify.exe" + std::string(200, ' '));
    EXPECT_EQ("VM", n.name[0]) << "this computer";
    EXPECT_FALSE(n.taken[1]);

    // The program path does not count: however long, the names follow it.
    std::string path = "\"C:\\" + std::string(200, 'p') + "\\notify.exe\"";
    n = Parse(path + " NODE1 NODE2");
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_EQ("NODE2", n.name[1]);
    n = Parse(path);
    EXPECT_EQ("VM", n.name[0]) << "this computer, not a refused name";
    EXPECT_TRUE(n.local[0]);
    n = Parse(path + rest);
    EXPECT_EQ("NODE1", n.name[0]);
    EXPECT_EQ(NameCutOff, n.refusal[1]) << "the same room for the names behind a long path";

    // Exactly 127 characters after the path are copied whole, and so is a
    // name that ends where the copy ends when a blank follows it.
    rest = " NODE1";
    rest += std::string(CommandCopySize - 1 - rest.size() - 5, ' ') + "NODE2";
    ASSERT_EQ((size_t)CommandCopySize - 1, rest.size());
    n = Parse(path + rest);
    EXPECT_EQ("NODE2", n.name[1]);
    n = Parse(path + rest + "   NODE3");
    EXPECT_EQ("NODE2", n.name[1]);
}

} // namespace
