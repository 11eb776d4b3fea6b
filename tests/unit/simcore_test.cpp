// The base-system simulator's core: its numbering agrees with what notify
// counts as lost, its options refuse what they cannot use, and what it
// prints of a request is readable and never overruns.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "message.h"
#include "reqdecode.h"
#include "simcore.h"

namespace {

SimOptions Parse(std::vector<const char *> args, std::string *error = nullptr)
{
    SimOptions o;
    char text[160];
    bool ok = ParseSimOptions((int)args.size(), args.data(), &o, text, sizeof text);
    if (error != nullptr)
        *error = ok ? "" : text;
    return o;
}

std::vector<int32_t> Take(const SimOptions &o, int count)
{
    NotificationSchedule s;
    StartSchedule(&s, &o);
    std::vector<int32_t> numbers;
    for (int i = 0; i < count; i++)
        numbers.push_back(TakeSequence(&s, &o));
    return numbers;
}

TEST(SimSchedule, GapsAndWrapAround)
{
    SimOptions o = Parse({"--start", "9997", "--gap-every", "3", "--gap-size", "2"});
    EXPECT_EQ((std::vector<int32_t>{9997, 9998, 9999, 3, 4, 5, 8, 9}), Take(o, 8));
    o = Parse({"--start", "9999"});
    EXPECT_EQ((std::vector<int32_t>{9999, 1, 2}), Take(o, 3)) << "no gaps: 1 follows 9999";
}

TEST(SimSchedule, NotifyCountsExactlyTheNumbersLeftOut)
{
    for (const char *start : {"1", "9990"}) {
        SimOptions o = Parse({"--start", start, "--gap-every", "4", "--gap-size", "3"});
        HostEntry entry;
        ResetHostEntry(&entry, 0);
        uint32_t missing = 0;
        for (int32_t sequence : Take(o, 41)) // the 41st shows the tenth gap
            missing += CheckSequence(&entry, sequence);
        EXPECT_EQ(10u * 3u, missing) << "from " << start << ": ten gaps of three";
    }
}

TEST(SimSchedule, StatusMessagesAndDrops)
{
    SimOptions o = Parse({"--status-every", "5", "--drop-every", "3"});
    EXPECT_FALSE(StatusDue(0, &o));
    EXPECT_FALSE(StatusDue(4, &o));
    EXPECT_TRUE(StatusDue(5, &o));
    EXPECT_TRUE(StatusDue(10, &o));
    EXPECT_TRUE(DropDue(3, &o));
    EXPECT_FALSE(DropDue(4, &o));
    o = Parse({"--status-every", "0"});
    EXPECT_FALSE(StatusDue(10, &o));
    EXPECT_FALSE(DropDue(3, &o)) << "no drops by default";

    char message[NotificationSize];
    FormatNotification(message, sizeof message, 7, LogKind, "12:00:00 Feeder F1: breaker closed");
    EXPECT_STREQ("0007 L 12:00:00 Feeder F1: breaker closed", message);
    int32_t sequence = -1;
    char kind = 0;
    ASSERT_TRUE(ParseMessageHeader(message, &sequence, &kind)) << "notify reads the header";
    EXPECT_EQ(7, sequence);
    EXPECT_EQ('L', kind);
    EXPECT_STREQ("12:00:00 Feeder F1: breaker closed", message);
}

TEST(SimOptions, DefaultsAndValues)
{
    std::string error;
    SimOptions o = Parse({}, &error);
    EXPECT_EQ("", error);
    EXPECT_STREQ("OK", o.replies[0]);
    EXPECT_STREQ("OK", o.replies[1]);
    EXPECT_EQ(2, o.rate);
    EXPECT_EQ(1, o.firstSequence);
    EXPECT_EQ(0, o.durationSeconds);

    o = Parse({"--replies", "OK_X,ERROR", "--rate", "0", "--duration", "30", "--verbose"}, &error);
    EXPECT_EQ("", error);
    EXPECT_STREQ("OK_X", o.replies[0]);
    EXPECT_STREQ("ERROR", o.replies[1]);
    EXPECT_EQ(0, o.rate);
    EXPECT_EQ(30, o.durationSeconds);
    EXPECT_TRUE(o.verbose);
    o = Parse({"--replies", "hello world,OK"}, &error);
    EXPECT_STREQ("hello world", o.replies[0]) << "any word, blanks included";
    EXPECT_TRUE(Parse({"--help", "--rate", "x"}).help) << "--help first: nothing else counts";
}

const std::string LongReply = std::string(64, 'w') + ",OK";

TEST(SimOptions, RefusedWithAReason)
{
    const struct {
        std::vector<const char *> args;
        const char *why;
    } rows[] = {
        {{"--rate"}, "--rate needs a number from 0 to 50"},
        {{"--rate", "51"}, "from 0 to 50"},
        {{"--rate", "-1"}, "from 0 to 50"},
        {{"--start", "0"}, "--start needs a number from 1 to 9999"},
        {{"--start", "10000"}, "from 1 to 9999"},
        {{"--gap-size", "0"}, "--gap-size"},
        {{"--duration", "99999999999"}, "--duration"},
        {{"--replies", "OK"}, "FIRST,SECOND"},
        {{"--replies", ",OK"}, "FIRST,SECOND"},
        {{"--replies", "OK,"}, "FIRST,SECOND"},
        {{"--replies", LongReply.c_str()}, "1 to 63"},
        {{"--fast"}, "unknown option \"--fast\""},
    };
    for (const auto &row : rows) {
        std::string error;
        Parse(row.args, &error);
        EXPECT_NE(std::string::npos, error.find(row.why)) << row.args[0] << ": " << error;
    }
}

TEST(SimPrinting, RequestSummary)
{
    DecodedRequest r{};
    r.settings.monitorType = MonitorVsRemote;
    r.settings.applicationNumber = 5;
    r.settings.applicationMonitorNumber = 3;
    strcpy(r.settings.terminalFont, "tf");
    strcpy(r.settings.remoteFont, "rf");
    strcpy(r.settings.printer, "LPT1:");
    strcpy(r.settings.display, "ws12:0");
    char text[SummarySize];
    FormatRequestSummary(&r, text, sizeof text);
    EXPECT_STREQ("    VS Remote monitor: application 5, application monitor 3\n"
                 "    terminal font tf\n"
                 "    font          rf\n"
                 "    printer       LPT1:\n"
                 "    display       ws12:0\n",
                 text);
    r.settings.monitorType = MonitorVsLocal;
    FormatRequestSummary(&r, text, sizeof text);
    EXPECT_EQ(nullptr, strstr(text, "display")) << "a VS Local request names no display";
    r.settings.monitorType = MonitorPredefined;
    r.settings.settingNumber = 7;
    FormatRequestSummary(&r, text, sizeof text);
    EXPECT_STREQ("    pre-defined monitor, setting 7\n", text);
}

TEST(SimPrinting, EscapedBytes)
{
    char text[32];
    EscapeBytes("DEF   7 \0", 9, text, sizeof text);
    EXPECT_STREQ("DEF   7 \\0", text);
    EscapeBytes("a\\b\x01\xff", 5, text, sizeof text);
    EXPECT_STREQ("a\\\\b\\x01\\xFF", text);

    std::string exact(31, 'x');
    EscapeBytes(exact.data(), exact.size(), text, sizeof text);
    EXPECT_EQ(exact, text) << "what fits is not cut";
    std::string longer(40, 'y');
    EscapeBytes(longer.data(), longer.size(), text, sizeof text);
    EXPECT_EQ(std::string(28, 'y') + "...", text);
    EscapeBytes(std::string(16, '\0').data(), 16, text, sizeof text);
    std::string nuls;
    for (int i = 0; i < 14; i++)
        nuls += "\\0";
    EXPECT_EQ(nuls + "...", text) << "no escape is split";
}

} // namespace
