// Bounded text operations: never past the buffer, always terminated, and
// a cut is reported.
#include <gtest/gtest.h>

#include "textbuf.h"

namespace {

TEST(TextBuffers, CopyReportsACut)
{
    char buffer[6];
    EXPECT_TRUE(CopyText(buffer, sizeof buffer, "12345"));
    EXPECT_STREQ("12345", buffer);
    EXPECT_FALSE(CopyText(buffer, sizeof buffer, "123456"));
    EXPECT_STREQ("12345", buffer);
    EXPECT_TRUE(CopyTextN(buffer, sizeof buffer, "abcdefgh", 3));
    EXPECT_STREQ("abc", buffer);
    EXPECT_FALSE(CopyText(buffer, 0, "x"));
}

TEST(TextBuffers, AppendAndFormat)
{
    char buffer[8] = "ab";
    EXPECT_TRUE(AppendText(buffer, sizeof buffer, "cde"));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, "fghij"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_FALSE(AppendText(buffer, sizeof buffer, "x"));

    EXPECT_TRUE(FormatText(buffer, sizeof buffer, "%s=%u", "A", 12u));
    EXPECT_STREQ("A=12", buffer);
    EXPECT_FALSE(FormatText(buffer, sizeof buffer, "%s", "too long for it"));
    EXPECT_STREQ("too lon", buffer);
}

TEST(TextBuffers, UpperCaseTouchesAsciiLettersOnly)
{
    char text[] = "host-1a\xe4z";
    UpperCaseAscii(text);
    EXPECT_STREQ("HOST-1A\xe4Z", text);
}

} // namespace
