// Message headers and the lost-message count from sequence numbers.
#include <gtest/gtest.h>

#include <string.h>

#include "message.h"

namespace {

TEST(MessageHeader, SplitsNumberKindAndText)
{
    char message[64] = "0042 M pump 3 stopped";
    int32_t sequence = -5;
    char kind = 0;
    ASSERT_TRUE(ParseMessageHeader(message, &sequence, &kind));
    EXPECT_EQ(42, sequence);
    EXPECT_EQ('M', kind);
    EXPECT_STREQ("pump 3 stopped", message);

    strcpy(message, "  7 xCy");
    ASSERT_TRUE(ParseMessageHeader(message, &sequence, &kind));
    EXPECT_EQ(7, sequence) << "read like atoi";
    EXPECT_EQ('C', kind);
    EXPECT_STREQ("", message);
}

TEST(MessageHeader, FiveToSevenCharactersGiveAnEmptyText)
{
    for (const char *text : {"0001 ", "0001 L", "0001 L "}) {
        char message[16];
        strcpy(message, text);
        int32_t sequence = 0;
        char kind = 'z';
        ASSERT_TRUE(ParseMessageHeader(message, &sequence, &kind)) << text;
        EXPECT_EQ(1, sequence) << text;
        EXPECT_STREQ("", message) << text;
    }
}

TEST(MessageHeader, ShorterMessagesHaveNoHeader)
{
    char message[16] = "0003";
    int32_t sequence = 17;
    char kind = 'Q';
    EXPECT_FALSE(ParseMessageHeader(message, &sequence, &kind));
    EXPECT_STREQ("0003", message);
    EXPECT_EQ(17, sequence) << "an earlier number is kept, not taken from this message";
    EXPECT_EQ('Q', kind);
}

TEST(SequenceNumbers, LossesCountForwardThroughTheWrap)
{
    const struct {
        int32_t last, next;
        uint32_t missing;
    } cases[] = {
        {-1, 5, 0},      // the first since the pipe was opened
        {-1, 9999, 0},
        {5, 6, 0},
        {5, 7, 1},
        {5, 105, 99},
        {9998, 9999, 0},
        {9999, 1, 0},    // 9999 is followed by 1
        {9999, 3, 2},
        {9998, 2, 2},    // 9999 and 1
        {10, 3, 9991},   // the base system started again
        {7, 7, 9998},
    };
    for (const auto &c : cases) {
        HostEntry entry;
        ResetHostEntry(&entry, 0);
        entry.lastSequence = c.last;
        EXPECT_EQ(c.missing, CheckSequence(&entry, c.next)) << c.last << " then " << c.next;
        EXPECT_EQ(c.next, entry.lastSequence);
    }
}

TEST(SequenceNumbers, UnnumberedAndImpossibleNumbers)
{
    HostEntry entry;
    ResetHostEntry(&entry, 1);
    entry.lastSequence = 41;
    EXPECT_EQ(0u, CheckSequence(&entry, 0));
    EXPECT_EQ(41, entry.lastSequence) << "an unnumbered message leaves the number alone";
    EXPECT_EQ(0u, CheckSequence(&entry, 42));

    entry.lastSequence = 9998;
    EXPECT_EQ(0u, CheckSequence(&entry, -999)) << "no count of billions from a bad number";
}

} // namespace
