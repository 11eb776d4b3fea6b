// The opener's command-line parse: options, values, repetitions and the
// final rules, each failure with the exact text the operator sees.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "cmdlinecore.h"

namespace {

struct Parsed {
    bool ok;
    std::string message;
    CommandLineOptions options;
    int32_t pictureSize;
    MonitorSettings settings;
    int productChecks;
};

struct ProductAnswer {
    bool installed;
    int calls;
};

bool AnswerProduct(void *context)
{
    ProductAnswer *answer = static_cast<ProductAnswer *>(context);
    answer->calls++;
    return answer->installed;
}

Parsed ParseLine(const std::string &commandLine, bool installed = false)
{
    Parsed p{};
    p.pictureSize = 1;
    ProductAnswer answer{installed, 0};
    const char *message = nullptr;
    p.ok = ParseArguments(commandLine.c_str(), AnswerProduct, &answer, &p.options, &p.pictureSize,
                          &p.settings, &message);
    p.message = message ? message : "";
    p.productChecks = answer.calls;
    return p;
}

Parsed Parse(const std::string &arguments, bool installed = false)
{
    return ParseLine("monopen.exe " + arguments, installed);
}

void ExpectFailure(const std::string &arguments, const char *message, bool installed = false)
{
    Parsed p = Parse(arguments, installed);
    EXPECT_FALSE(p.ok) << "arguments [" << arguments << "] were accepted";
    EXPECT_EQ(message, p.message) << "arguments [" << arguments << "]";
}

void ExpectAccepted(const std::string &arguments, bool installed = false)
{
    Parsed p = Parse(arguments, installed);
    EXPECT_TRUE(p.ok) << "arguments [" << arguments << "] failed with: " << p.message;
}

TEST(CommandLine, NoArgumentsGiveTheDialogDefaults)
{
    for (const char *line : {"monopen.exe", "monopen.exe   ", "C:\\gv\\monopen.exe"}) {
        Parsed p = ParseLine(line);
        ASSERT_TRUE(p.ok) << line;
        EXPECT_TRUE(p.options.interactive);
        EXPECT_EQ(1, p.options.monitorFromDialog);
        EXPECT_FALSE(p.options.useDefault || p.options.startService ||
                     p.options.startAsLogonUser || p.options.retryGiven ||
                     p.options.localFontGiven || p.options.remoteFontGiven ||
                     p.options.serviceCreateDirDisabled);
        EXPECT_EQ(0, p.productChecks) << "installation looked up without -n";
    }
}

TEST(CommandLine, ResetKeepsThePredefinedNodeOnly)
{
    CommandLineOptions o;
    memset(&o, 0x5A, sizeof o);
    strcpy(o.predefinedNode, "KEPT");
    MonitorSettings s{};
    int32_t size = 3;
    const char *message;
    ProductAnswer answer{false, 0};
    ASSERT_TRUE(ParseArguments("monopen.exe", AnswerProduct, &answer, &o, &size, &s, &message));
    EXPECT_STREQ("KEPT", o.predefinedNode);
    EXPECT_EQ(0, o.retryCount);
    EXPECT_EQ(0, o.predefinedSetting);
    EXPECT_FALSE(o.useDefault);
    EXPECT_EQ(3, size) << "the picture size is not reset by the parser";
}

TEST(CommandLine, PredefinedMonitor)
{
    Parsed p = Parse("-d NODE1 7");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_EQ(0, p.options.monitorFromDialog);
    EXPECT_STREQ("NODE1", p.options.predefinedNode);
    EXPECT_EQ(7, p.options.predefinedSetting);

    p = Parse("-D   node1    12  ");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_STREQ("node1", p.options.predefinedNode);
    EXPECT_EQ(12, p.options.predefinedSetting);
}

TEST(CommandLine, PredefinedMonitorValues)
{
    for (const char *bad : {"-d NODE1", "-d NODE1 7a", "-d    ", "-d", "-d NODE1 -7",
                            "-d NODE1 +7", "-d\tNODE1 7"})
        ExpectFailure(bad, TextArgumentError);
}

TEST(CommandLine, NodeNamesLongerThanTheNodeFieldAreRefused)
{
    Parsed p = Parse("-d ABCDEFGHIJKLMNO 1");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_STREQ("ABCDEFGHIJKLMNO", p.options.predefinedNode);
    ExpectFailure("-d ABCDEFGHIJKLMNOP 1", TextArgumentError);
    ExpectFailure("-d " + std::string(300, 'N') + " 1", TextArgumentError);
}

TEST(CommandLine, SpellingsAreAllLowerOrAllUpperCase)
{
    for (const char *good : {"-DEFAULT", "-default", "-D N 1", "-R 2", "-r 2", "-FR \"f\" -default",
                             "-FL \"f\"", "-S 2", "-START_SERV", "-START_AS_LOGON_USER",
                             "-SERV_CREATE_DIR_DISABLED -START_SERV"})
        ExpectAccepted(good);
    for (const char *bad : {"-Default", "-Fr \"x\"", "-fL \"x\"", "-Start_serv", "-x", "default",
                            "/d N 1", "-"})
        ExpectFailure(bad, TextArgumentError);
}

TEST(CommandLine, DefaultAndPredefinedExcludeEachOther)
{
    ExpectFailure("-default -d X 1", TextDAndDefault);
    ExpectFailure("-d X 1 -default", TextDAndDefault);
    ExpectFailure("-DEFAULT -D X 1", TextDAndDefault);
}

TEST(CommandLine, RetryCount)
{
    Parsed p = Parse("-r3");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_TRUE(p.options.retryGiven);
    EXPECT_EQ(3, p.options.retryCount);

    p = Parse("-r    3");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_EQ(3, p.options.retryCount);

    p = Parse("-r 0");
    ASSERT_TRUE(p.ok);
    EXPECT_TRUE(p.options.retryGiven);
    EXPECT_EQ(0, p.options.retryCount);

    ExpectFailure("-r", TextArgumentError);
    ExpectFailure("-r x", TextArgumentError);
    ExpectFailure("-r 3x", TextArgumentError);
}

TEST(CommandLine, HugeNumbersSaturateInsteadOfOverflowing)
{
    Parsed p = Parse("-r " + std::string(40, '9'));
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(INT32_MAX, p.options.retryCount);
    p = Parse("-r 2147483648");
    EXPECT_EQ(INT32_MAX, p.options.retryCount);
    p = Parse("-r 2147483647");
    EXPECT_EQ(INT32_MAX, p.options.retryCount);
    p = Parse("-r 0000012");
    EXPECT_EQ(12, p.options.retryCount);
}

TEST(CommandLine, PictureSizeAndItsRepetition)
{
    Parsed p = Parse("-s 2 -start_serv");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_EQ(2, p.pictureSize);
    EXPECT_TRUE(p.options.startService);

    p = Parse("-start_serv -s 4 -start_as_logon_user -serv_create_dir_disabled");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_EQ(4, p.pictureSize);

    for (const char *outOfRange : {"-s 0", "-s 9"}) {
        p = Parse(outOfRange);
        EXPECT_TRUE(p.ok) << outOfRange << " is checked by the dialog, not here";
    }
    ExpectFailure("-s 2 -S 3", TextMultipleParameters);
    ExpectFailure("-s 2 -sX", TextMultipleParameters);
}

TEST(CommandLine, QuotedFonts)
{
    Parsed p = Parse("-fr \"family:A B-size:10\" -fl \"x=y\"");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_TRUE(p.options.remoteFontGiven);
    EXPECT_TRUE(p.options.localFontGiven);
    EXPECT_STREQ("family:A B-size:10", p.settings.remoteFont);
    EXPECT_STREQ("x=y", p.settings.localFont);

    std::string longest(127, 'f');
    p = Parse("-fl \"" + longest + "\"");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_EQ(longest, p.settings.localFont);

    for (std::string bad : {std::string("-fl"), std::string("-fl font"), std::string("-fl \"\""),
                            std::string("-fl \"open"), "-fl \"" + std::string(128, 'f') + "\"",
                            std::string("-fl \"a\"b")})
        ExpectFailure(bad, TextArgumentError);
}

TEST(CommandLine, AnOptionGivenTwice)
{
    for (const char *twice : {"-r 1 -r 2", "-r1 -R2", "-default -default", "-d A 1 -d B 2",
                              "-fl \"a\" -fl \"b\"", "-start_serv -START_SERV",
                              "-start_as_logon_user -start_as_logon_user",
                              "-serv_create_dir_disabled -start_serv -serv_create_dir_disabled"})
        ExpectFailure(twice, TextMultipleParameters);
    // Option values are tokens like any other.
    ExpectFailure("-r 1 -d -r 5", TextMultipleParameters);
}

TEST(CommandLine, OptionCharactersRunIntoTheNextToken)
{
    ExpectFailure("-start_servX", TextArgumentError);
    ExpectFailure("-defaultX", TextArgumentError);
    ExpectFailure("-nX", TextArgumentError, true);
    Parsed p = Parse("-start_serv-default");
    EXPECT_TRUE(p.ok) << p.message;
    EXPECT_TRUE(p.options.useDefault);
}

TEST(CommandLine, NonInteractiveNeedsTheBaseSystemHere)
{
    Parsed p = Parse("-x -n");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(TextNotFromWorkstation, p.message) << "-n is decided before any other option";
    EXPECT_EQ(1, p.productChecks);
    EXPECT_TRUE(p.options.interactive) << "its messages are message boxes";

    p = Parse("-n -default", true);
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_FALSE(p.options.interactive);
    EXPECT_TRUE(p.options.useDefault);

    p = Parse("-N -d NODE 3", true);
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_FALSE(p.options.interactive);

    ExpectFailure("-n", TextNWithoutMonitor, true);
    ExpectFailure("-n -start_serv", TextNWithoutMonitor, true);

    p = Parse("-n -default -N", true);
    EXPECT_EQ(TextMultipleParameters, p.message);
    EXPECT_EQ(0, p.productChecks) << "a second -n fails before the installation is looked up";
}

TEST(CommandLine, FinalRules)
{
    ExpectFailure("-serv_create_dir_disabled", TextCreateDirWithoutStart);
    ExpectAccepted("-serv_create_dir_disabled -start_serv");
    ExpectAccepted("-start_serv -serv_create_dir_disabled");
    ExpectFailure("-d X 1 -s 2", TextFontsWithD);
    ExpectFailure("-fl \"f\" -d X 1", TextFontsWithD);
    ExpectFailure("-d X 1 -fr \"f\"", TextFontsWithD);
    ExpectAccepted("-default -s 2 -fl \"f\"");
    // Rule 1 is checked before rule 3.
    ExpectFailure("-d X 1 -s 2 -serv_create_dir_disabled", TextCreateDirWithoutStart);
}

TEST(CommandLine, TheFirstErrorEndsTheParse)
{
    ExpectFailure("-x -serv_create_dir_disabled", TextArgumentError);
    ExpectFailure("-r 1 -r 2 -d X", TextMultipleParameters);
    ExpectFailure("-default -default -d X 1", TextMultipleParameters);
}

TEST(CommandLine, ProgramPathInQuotesMayHoldBlanks)
{
    Parsed p = ParseLine("\"C:\\Program Files\\Gridvane\\monopen.exe\" -d NODE1 7");
    ASSERT_TRUE(p.ok) << p.message;
    EXPECT_STREQ("NODE1", p.options.predefinedNode);

    p = ParseLine("\"C:\\Program Files\\Gridvane\\monopen.exe\"");
    EXPECT_TRUE(p.ok) << p.message;

    p = ParseLine("\"C:\\Program Files\\Gridvane\\monopen.exe\"-default");
    EXPECT_TRUE(p.ok) << "the program name ends with its closing quote: " << p.message;

    // Unquoted, the tail of the path is a stray first argument.
    p = ParseLine("C:\\Program Files\\Gridvane\\monopen.exe -default");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(TextArgumentError, p.message);

    p = ParseLine("\"C:\\never closed -default");
    EXPECT_TRUE(p.ok) << "an unclosed quote takes the whole line as the program name";
}

} // namespace
