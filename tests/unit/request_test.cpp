// The monitor request text, byte for byte, and the reading of the two
// replies against every outcome of the exchange.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "request.h"

namespace {

struct Request {
    std::vector<std::string> strings; // the strings up to the empty one
    int32_t length;
    std::string bytes; // the bytes that are sent
};

Request Format(const MonitorSettings &s, const CommandLineOptions &o = CommandLineOptions{})
{
    char buffer[RequestBufferSize];
    memset(buffer, 0, sizeof buffer);
    Request r;
    FormatMonitorRequest(&s, &o, buffer, &r.length);
    r.bytes.assign(buffer, r.length > 0 ? (size_t)r.length : 0);
    // The property walker's view: strings until the empty one.
    for (const char *p = buffer; *p != '\0' && p < buffer + sizeof buffer; p += strlen(p) + 1)
        r.strings.push_back(p);
    EXPECT_LE(r.length, RequestBufferSize - 1);
    EXPECT_EQ('\0', buffer[r.length]) << "an empty string must follow the last one";
    return r;
}

MonitorSettings Predefined(int32_t setting)
{
    MonitorSettings s{};
    s.monitorType = MonitorPredefined;
    s.settingNumber = setting;
    strcpy(s.nodeName, "NODE1");
    return s;
}

MonitorSettings Explicit(int32_t type)
{
    MonitorSettings s{};
    s.monitorType = type;
    s.applicationNumber = 5;
    s.applicationMonitorNumber = 3;
    strcpy(s.terminalFont, "-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1");
    strcpy(s.display, "ws12:0");
    strcpy(s.printer, "LPT1:");
    return s;
}

TEST(RequestText, PredefinedMonitor)
{
    Request r = Format(Predefined(7));
    EXPECT_EQ(std::string("DEF   7 \0", 9), r.bytes);
    EXPECT_EQ(9, r.length);
    r = Format(Predefined(1234));
    EXPECT_EQ(std::string("DEF 1234 \0", 10), r.bytes);
    EXPECT_EQ(10, r.length);
    r = Format(Predefined(0));
    EXPECT_EQ(std::string("DEF   0 \0", 9), r.bytes);
}

TEST(RequestText, VsLocal)
{
    MonitorSettings s{};
    s.monitorType = MonitorVsLocal;
    s.applicationNumber = 1;
    s.applicationMonitorNumber = 2;
    strcpy(s.terminalFont, "family:Gridvane0810-size:10");
    strcpy(s.display, "ignored:0");
    strcpy(s.printer, "LPT1:");
    Request r = Format(s);
    const std::vector<std::string> expected = {
        "RTD LVS KPX_MS_WINDOWS_APPLICATION=1", "KPX_MS_WINDOWS_MONITOR=2",
        "KPX_X_TERMINAL_FONT=family:Gridvane0810-size:10",
        "FONT=family:MS Sans Serif-size:8-face:medium", "DISPLAY="};
    EXPECT_EQ(expected, r.strings);
    EXPECT_EQ(164, r.length);
    EXPECT_EQ("RTD LVS ", r.bytes.substr(0, 8)) << "the property list starts at the ninth byte";
}

TEST(RequestText, VsRemote)
{
    Request r = Format(Explicit(MonitorVsRemote));
    const std::vector<std::string> expected = {
        "RTD RVS KPX_MS_WINDOWS_APPLICATION=5", "KPX_MS_WINDOWS_MONITOR=3",
        "KPX_X_TERMINAL_FONT=-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1",
        "FONT=family:Helvetica-size:12-face:medium", "PRINTFILE=LPT1:", "DISPLAY=ws12:0"};
    EXPECT_EQ(expected, r.strings);
    EXPECT_EQ(214, r.length);
}

TEST(RequestText, XMonitor)
{
    Request r = Format(Explicit(MonitorX));
    const std::vector<std::string> expected = {
        "RTD XMONKPX_X_TERMINAL_APPLICATION=5", "KPX_X_TERMINAL_MONITOR=3",
        "KPX_X_TERMINAL_FONT=-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1",
        "DISPLAY=ws12:0"};
    EXPECT_EQ(expected, r.strings);
    EXPECT_EQ(156, r.length);
}

TEST(RequestText, FontOptionsApplyToTheirOwnTypeOnly)
{
    CommandLineOptions o{};
    o.localFontGiven = true;
    o.remoteFontGiven = true;
    MonitorSettings s = Explicit(MonitorVsLocal);
    strcpy(s.localFont, std::string(127, 'L').c_str());
    strcpy(s.remoteFont, "family:R-size:9");
    EXPECT_EQ("FONT=" + std::string(127, 'L'), Format(s, o).strings[3]);
    s.monitorType = MonitorVsRemote;
    EXPECT_EQ("FONT=family:R-size:9", Format(s, o).strings[3]);

    o.localFontGiven = false;
    s.monitorType = MonitorVsLocal;
    EXPECT_EQ("FONT=family:MS Sans Serif-size:8-face:medium", Format(s, o).strings[3])
        << "-fr has no effect on a VS Local monitor";
    o.localFontGiven = true;
    o.remoteFontGiven = false;
    s.monitorType = MonitorVsRemote;
    EXPECT_EQ("FONT=family:Helvetica-size:12-face:medium", Format(s, o).strings[3]);
}

TEST(RequestText, ValuesAreCopiedUnchanged)
{
    MonitorSettings s = Explicit(MonitorX);
    strcpy(s.display, "a=b c:0");
    s.applicationNumber = 0;
    s.applicationMonitorNumber = 0;
    Request r = Format(s);
    EXPECT_EQ("RTD XMONKPX_X_TERMINAL_APPLICATION=0", r.strings[0]);
    EXPECT_EQ("KPX_X_TERMINAL_MONITOR=0", r.strings[1]);
    EXPECT_EQ("DISPLAY=a=b c:0", r.strings.back());
}

TEST(RequestText, LongestRequestFits)
{
    CommandLineOptions o{};
    o.remoteFontGiven = true;
    MonitorSettings s{};
    s.monitorType = MonitorVsRemote;
    s.applicationNumber = -1;        // 4294967295: ten digits
    s.applicationMonitorNumber = -1;
    memset(s.terminalFont, 't', sizeof s.terminalFont - 1);
    memset(s.printer, 'p', sizeof s.printer - 1);
    memset(s.display, 'd', sizeof s.display - 1);
    memset(s.remoteFont, 'f', sizeof s.remoteFont - 1);
    Request r = Format(s, o);
    EXPECT_EQ(582, r.length) << "type 1 with every field at its full width";
    EXPECT_EQ(6u, r.strings.size());
    memset(s.remoteFont, 0, sizeof s.remoteFont);
    memset(s.remoteFont, 'f', FontValueMax);
    EXPECT_EQ(582 - 128, Format(s, o).length) << "with the longest -fr value";
}

TEST(RequestText, UnterminatedFieldsAreReadOnlyToTheirSize)
{
    MonitorSettings s{};
    memset(&s, 'x', sizeof s);
    s.monitorType = MonitorVsRemote;
    CommandLineOptions o{};
    o.remoteFontGiven = true;
    Request r = Format(s, o);
    ASSERT_EQ(6u, r.strings.size());
    EXPECT_EQ(std::string("KPX_X_TERMINAL_FONT=") + std::string(79, 'x'), r.strings[2]);
    EXPECT_EQ(std::string("DISPLAY=") + std::string(23, 'x'), r.strings[5]);
}

TEST(NodeName, TrailingBlanksAreCutInPlace)
{
    char node[16] = "  srv1  ";
    EXPECT_STREQ("srv1", TrimNodeName(node));
    EXPECT_STREQ("  srv1", node);
    char blanks[16] = "   ";
    EXPECT_STREQ("", TrimNodeName(blanks));
    EXPECT_STREQ("   ", blanks) << "nothing left: nothing cut";

    char pipe[MonitorPipeNameSize];
    ASSERT_TRUE(FormatMonitorPipeName("SRV1", pipe, sizeof pipe));
    EXPECT_STREQ("\\\\SRV1\\pipe\\KPX\\PIPE_monts", pipe);
    ASSERT_TRUE(FormatMonitorPipeName("", pipe, sizeof pipe));
    EXPECT_STREQ("\\\\.\\pipe\\KPX\\PIPE_monts", pipe);
}

TEST(PipeOpen, AccessErrorsAskForALogonWhateverTheBudget)
{
    int32_t budget = 0;
    for (uint32_t code : {5u, 86u, 1326u, 1331u})
        EXPECT_EQ(OpenAskForLogon, NextOpenStep(code, true, &budget)) << code;
    EXPECT_EQ(0, budget) << "a logon does not spend the retry budget";
}

TEST(PipeOpen, RetryBudgetIsSpentAcrossExchanges)
{
    int32_t budget = 0;
    EXPECT_EQ(OpenGiveUp, NextOpenStep(2, false, &budget)) << "no -r: one attempt";
    budget = 2;
    EXPECT_EQ(OpenAfterPause, NextOpenStep(2, true, &budget));
    EXPECT_EQ(OpenAfterPause, NextOpenStep(231, true, &budget));
    EXPECT_EQ(OpenGiveUp, NextOpenStep(2, true, &budget));
    EXPECT_EQ(-1, budget);
    EXPECT_EQ(OpenGiveUp, NextOpenStep(2, true, &budget)) << "a later exchange has none left";
    EXPECT_EQ(-1, budget) << "and the budget does not run further down";
    budget = 0;
    EXPECT_EQ(OpenGiveUp, NextOpenStep(3, true, &budget)) << "-r 0 means a single attempt";
}

struct Outcome {
    bool result;
    std::vector<std::string> messages;
    bool xHook;
};

// The exchange as the program runs it, with the X display hook succeeding.
// A null reply is a failed read (error 109).
Outcome Exchange(const char *first, const char *second)
{
    Outcome o{false, {}, false};
    ReplyAction a;
    AfterFirstReply(first != nullptr, first ? first : "", 109, &a);
    if (a.message[0])
        o.messages.push_back(a.message);
    bool result = a.result;
    if (a.runXDisplayHook) {
        o.xHook = true;
        result = true;
    }
    if (a.readSecond) {
        AfterSecondReply(result, second != nullptr, second ? second : "", 109, &a);
        if (a.message[0])
            o.messages.push_back(a.message);
        result = a.result;
    }
    o.result = result;
    return o;
}

const char RemoteFailed[] = "The remote system could not start requested monitor.";

TEST(Replies, EveryOutcome)
{
    const struct {
        const char *first;
        const char *second;
        bool result;
        std::vector<std::string> messages;
    } rows[] = {
        {"OK", "OK", true, {}},
        {"OK", "ERROR", false, {RemoteFailed}},
        {"OK", "xyz", false, {"The base system responded with an unknown message. (xyz)."}},
        {"OK", nullptr, false, {"Could not read data from Gridvane 2 (109)."}},
        {"OK_X", "OK", true, {}},
        {"OK_X", "ERROR", true, {RemoteFailed}},
        {"OK_X", "nope", true, {"The base system responded with an unknown message. (nope)."}},
        {"OK_X", nullptr, true, {"Could not read data from Gridvane 2 (109)."}},
        {"ok", "OK", true, {"The base system responded with an unknown message. (ok)."}},
        {"abc", "ERROR", false,
         {"The base system responded with an unknown message. (abc).", RemoteFailed}},
        {"", "OK", true, {"The base system responded with an unknown message. ()."}},
        {nullptr, "OK", false, {"Could not read data from Gridvane 1 (109)."}},
    };
    for (const auto &row : rows) {
        Outcome o = Exchange(row.first, row.second);
        std::string label = std::string(row.first ? row.first : "(read failed)") + " / " +
                            (row.second ? row.second : "(read failed)");
        EXPECT_EQ(row.result, o.result) << label;
        EXPECT_EQ(row.messages, o.messages) << label;
        EXPECT_EQ(row.first && std::string(row.first) == "OK_X", o.xHook) << label;
    }
}

TEST(Replies, OnlyTheWholeMessageMatches)
{
    for (const char *near : {"OK ", " OK", "OKAY", "OK_XX", "Ok", "ERROR "}) {
        Outcome o = Exchange("OK", near);
        EXPECT_FALSE(o.result) << "[" << near << "]";
        ASSERT_EQ(1u, o.messages.size()) << "[" << near << "]";
    }
}

TEST(Replies, LongReplyIsShortenedInsideTheMessage)
{
    std::string reply(1024, 'r');
    char text[ExchangeMessageSize];
    FormatUnknownReply(reply.c_str(), text, sizeof text);
    std::string message = text;
    EXPECT_EQ(ExchangeMessageSize - 1, (int)message.size());
    EXPECT_EQ("The base system responded with an unknown message. (rrr", message.substr(0, 55));
    EXPECT_EQ("rrr...).", message.substr(message.size() - 8));

    std::string fits(ExchangeMessageSize - 1 - 51 - 4, 'f');
    FormatUnknownReply(fits.c_str(), text, sizeof text);
    EXPECT_EQ("The base system responded with an unknown message. (" + fits + ").", text);
}

} // namespace
