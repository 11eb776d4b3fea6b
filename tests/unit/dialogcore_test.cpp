// Rules of the settings dialog: enabled controls per mode, picture sizes and
// their fonts, and how printer and display are stored.
#include <gtest/gtest.h>

#include <string>

#include "dialogcore.h"
#include "options.h"
#include "resource.h"

namespace {

TEST(DialogRules, StartOptionsKeepRemoteAndXOff)
{
    for (int mode = 0; mode <= 3; mode++) {
        EXPECT_FALSE(ControlEnabledInMode(IDC_TYPE_VS_REMOTE, mode, true)) << mode;
        EXPECT_FALSE(ControlEnabledInMode(IDC_TYPE_X, mode, true)) << mode;
    }
    EXPECT_TRUE(ControlEnabledInMode(IDC_TYPE_VS_LOCAL, 0, true));
    EXPECT_TRUE(ControlEnabledInMode(1 /* OK */, 3, true)) << "OK is never switched";
    EXPECT_TRUE(ControlEnabledInMode(IDC_IN_USE, 3, false));
}

TEST(DialogRules, PictureSizesAndFonts)
{
    EXPECT_STREQ("640 by 480 pixels", PictureSizeText(1));
    EXPECT_STREQ("1600 by 1200 pixels", PictureSizeText(4));
    EXPECT_EQ(nullptr, PictureSizeText(0));
    EXPECT_EQ(nullptr, PictureSizeText(5));
    EXPECT_EQ(3, PictureSizeIndexOf("1280 by 960 pixels"));
    EXPECT_EQ(0, PictureSizeIndexOf("1280 By 960 pixels"));
    EXPECT_EQ(0, PictureSizeIndexOf(""));

    EXPECT_STREQ("family:Gridvane1215-size:15", TerminalFontFor(2, MonitorVsLocal));
    EXPECT_STREQ("-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1",
                 TerminalFontFor(2, MonitorVsRemote));
    EXPECT_STREQ("-orvo-tessel-medium-r-normal--25-250-75-75-c-100-iso8859-1",
                 TerminalFontFor(4, MonitorX));
    EXPECT_EQ(nullptr, TerminalFontFor(0, MonitorX));
}

TEST(DialogRules, PrinterColon)
{
    char printer[PrinterSize];
    NormalizePrinter("", printer, sizeof printer);
    EXPECT_STREQ("LPT1:", printer);
    NormalizePrinter("LPT2", printer, sizeof printer);
    EXPECT_STREQ("LPT2:", printer);
    NormalizePrinter("\\\\srv\\laser:", printer, sizeof printer);
    EXPECT_STREQ("\\\\srv\\laser:", printer);
    std::string t97(97, 'p');
    NormalizePrinter(t97.c_str(), printer, sizeof printer);
    EXPECT_EQ(t97 + ":", printer);
    std::string t98(98, 'p');
    NormalizePrinter(t98.c_str(), printer, sizeof printer);
    EXPECT_EQ(t98, printer) << "no room for the colon";
}

TEST(DialogRules, EmptyDisplayIsLocalpc)
{
    char display[DisplaySize];
    NormalizeDisplay("", display, sizeof display);
    EXPECT_STREQ("localpc:0", display);
    NormalizeDisplay("ws12:0", display, sizeof display);
    EXPECT_STREQ("ws12:0", display);
}

} // namespace
