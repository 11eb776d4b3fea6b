// Decoding monitor requests: every request the opener formats decodes to
// the settings it came from, and anything else is refused with a reason.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "reqdecode.h"
#include "request.h"

namespace {

std::string Format(const MonitorSettings &s, const CommandLineOptions &o)
{
    char buffer[RequestBufferSize];
    memset(buffer, 0, sizeof buffer);
    int32_t length = 0;
    FormatMonitorRequest(&s, &o, buffer, &length);
    return std::string(buffer, (size_t)length);
}

// Decodes, with the reason in the failure message.
bool Decode(const std::string &bytes, DecodedRequest *request, std::string *why = nullptr)
{
    char error[128];
    bool ok = DecodeMonitorRequest(bytes.data(), bytes.size(), request, error, sizeof error);
    if (why != nullptr)
        *why = error;
    return ok;
}

MonitorSettings Explicit(int32_t type)
{
    MonitorSettings s{};
    s.monitorType = type;
    s.applicationNumber = 250;
    s.applicationMonitorNumber = 17;
    strcpy(s.terminalFont, "-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1");
    strcpy(s.display, "ws12:0");
    strcpy(s.printer, "LPT2:");
    return s;
}

// The fields a request of the type carries must come back unchanged.
void ExpectCarried(const MonitorSettings &sent, const CommandLineOptions &o,
                   const DecodedRequest &got)
{
    const MonitorSettings &s = got.settings;
    EXPECT_EQ(sent.monitorType, s.monitorType);
    if (sent.monitorType == MonitorPredefined) {
        EXPECT_EQ(sent.settingNumber, s.settingNumber);
        return;
    }
    EXPECT_EQ(sent.applicationNumber, s.applicationNumber);
    EXPECT_EQ(sent.applicationMonitorNumber, s.applicationMonitorNumber);
    EXPECT_STREQ(sent.terminalFont, s.terminalFont);
    if (sent.monitorType != MonitorVsLocal)
        EXPECT_STREQ(sent.display, s.display);
    else
        EXPECT_STREQ("", s.display) << "a VS Local request carries no display";
    if (sent.monitorType == MonitorVsRemote)
        EXPECT_STREQ(sent.printer, s.printer);
    if (sent.monitorType == MonitorVsLocal)
        EXPECT_STREQ(o.localFontGiven ? sent.localFont : DefaultLocalFont, s.localFont);
    if (sent.monitorType == MonitorVsRemote)
        EXPECT_STREQ(o.remoteFontGiven ? sent.remoteFont : DefaultRemoteFont, s.remoteFont);
}

TEST(RequestDecode, EveryTypeRoundTrips)
{
    CommandLineOptions none{};
    for (int32_t type : {MonitorVsLocal, MonitorVsRemote, MonitorX}) {
        MonitorSettings sent = Explicit(type);
        std::string bytes = Format(sent, none);
        DecodedRequest got;
        std::string why;
        ASSERT_TRUE(Decode(bytes, &got, &why)) << MonitorTypeName(type) << ": " << why;
        ExpectCarried(sent, none, got);
        EXPECT_EQ(bytes, Format(got.settings, got.fonts)) << MonitorTypeName(type);
    }
}

TEST(RequestDecode, FontsOfTheCommandLineRoundTrip)
{
    CommandLineOptions o{};
    o.localFontGiven = true;
    o.remoteFontGiven = true;
    for (int32_t type : {MonitorVsLocal, MonitorVsRemote}) {
        MonitorSettings sent = Explicit(type);
        strcpy(sent.localFont, std::string(FontValueMax, 'L').c_str());
        strcpy(sent.remoteFont, "family:Courier New-size:9=x");
        DecodedRequest got;
        std::string why;
        ASSERT_TRUE(Decode(Format(sent, o), &got, &why)) << why;
        ExpectCarried(sent, o, got);
        EXPECT_EQ(type == MonitorVsLocal, got.fonts.localFontGiven);
        EXPECT_EQ(type == MonitorVsRemote, got.fonts.remoteFontGiven);
    }
}

TEST(RequestDecode, PredefinedForm)
{
    for (uint32_t setting : {0u, 7u, 999u, 1234u, 4294967295u}) {
        MonitorSettings sent{};
        sent.monitorType = MonitorPredefined;
        sent.settingNumber = (int32_t)setting;
        DecodedRequest got;
        std::string why;
        ASSERT_TRUE(Decode(Format(sent, CommandLineOptions{}), &got, &why)) << setting << why;
        EXPECT_EQ(MonitorPredefined, got.settings.monitorType);
        EXPECT_EQ(setting, (uint32_t)got.settings.settingNumber);
        EXPECT_EQ(1, got.stringCount);
    }
}

TEST(RequestDecode, LongestRequestRoundTrips)
{
    CommandLineOptions o{};
    o.remoteFontGiven = true;
    MonitorSettings sent{};
    sent.monitorType = MonitorVsRemote;
    sent.applicationNumber = -1;
    sent.applicationMonitorNumber = -1;
    memset(sent.terminalFont, 't', sizeof sent.terminalFont - 1);
    memset(sent.printer, 'p', sizeof sent.printer - 1);
    memset(sent.display, 'd', sizeof sent.display - 1);
    memset(sent.remoteFont, 'f', sizeof sent.remoteFont - 1);
    std::string bytes = Format(sent, o);
    DecodedRequest got;
    std::string why;
    ASSERT_TRUE(Decode(bytes, &got, &why)) << why;
    EXPECT_EQ(bytes, Format(got.settings, got.fonts));
}

TEST(RequestDecode, AnythingElseIsRefusedWithAReason)
{
    using namespace std::string_literals;
    const std::string local = Format(Explicit(MonitorVsLocal), CommandLineOptions{});
    std::string displaySet = local;
    displaySet.insert(displaySet.size() - 1, "ws1:0");
    const struct {
        std::string bytes;
        const char *why;
    } rows[] = {
        {""s, "empty"},
        {"DEF   7 "s, "no terminating NUL"},
        {"HELLO\0"s, "neither a DEF nor an RTD"},
        {"DEF 7 \0"s, "not in the form"},
        {"DEF  -7 \0"s, "setting number"},
        {"DEF   7 \0DEF   8 \0"s, "one string"},
        {"RTD ABC KPX_MS_WINDOWS_APPLICATION=1\0"s, "unknown monitor type"},
        {"RTD LVS KPX_MS_WINDOWS_APPLICATION=1\0KPX_MS_WINDOWS_MONITOR=2\0"s, "2 strings instead of 5"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=+5\0KPX_X_TERMINAL_MONITOR=3\0KPX_X_TERMINAL_FONT=f\0DISPLAY=d\0"s,
         "not a number"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=5\0KPX_X_TERMINAL_MONITOR=03\0KPX_X_TERMINAL_FONT=f\0DISPLAY=d\0"s,
         "not in the form"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=4294967296\0KPX_X_TERMINAL_MONITOR=3\0KPX_X_TERMINAL_FONT=f\0DISPLAY=d\0"s,
         "not a number"},
        {"RTD XMONKPX_MS_WINDOWS_APPLICATION=5\0KPX_X_TERMINAL_MONITOR=3\0KPX_X_TERMINAL_FONT=f\0DISPLAY=d\0"s,
         "expected KPX_X_TERMINAL_APPLICATION"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=5\0KPX_X_TERMINAL_MONITOR=3\0DISPLAY=d\0KPX_X_TERMINAL_FONT=f\0"s,
         "expected KPX_X_TERMINAL_FONT"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=5\0KPX_X_TERMINAL_MONITOR=3\0KPX_X_TERMINAL_FONT="s +
             std::string(80, 'f') + "\0DISPLAY=d\0"s,
         "longer than 79"},
        {"RTD XMONKPX_X_TERMINAL_APPLICATION=5\0KPX_X_TERMINAL_MONITOR=3\0KPX_X_TERMINAL_FONT\0DISPLAY=d\0"s,
         "expected KPX_X_TERMINAL_FONT="},
        {displaySet, "not in the form"},
        {std::string(RequestBufferSize, '\0'), "longer than"},
    };
    for (const auto &row : rows) {
        DecodedRequest got;
        std::string why;
        EXPECT_FALSE(Decode(row.bytes, &got, &why)) << row.why;
        EXPECT_NE(std::string::npos, why.find(row.why)) << "reason: " << why;
    }
}

} // namespace
