// The walk over a monitor property list: splitting, the syntax-error rule,
// and the bounds of the buffer.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "proplist.h"

namespace {

// What the walk asked for, one line per call.
struct Recorder {
    std::vector<std::string> calls;
    std::vector<std::string> failingNames;
};

bool RecordSet(void *context, const char *name, const char *value)
{
    Recorder *recorder = (Recorder *)context;
    recorder->calls.push_back(std::string("set ") + name + " " + value);
    for (const std::string &failing : recorder->failingNames)
        if (failing == name)
            return false;
    return true;
}

void RecordSyntaxError(void *context)
{
    ((Recorder *)context)->calls.push_back("syntax");
}

// A buffer of exactly size bytes on the heap, so that the sanitizer sees
// any read past it; the strings are laid out one after the other with
// their NULs, the rest is zero.
std::vector<char> ListOf(const std::vector<std::string> &strings, size_t size = 1024)
{
    std::vector<char> list(size, '\0');
    size_t at = 0;
    for (const std::string &s : strings) {
        memcpy(list.data() + at, s.c_str(), s.size() + 1);
        at += s.size() + 1;
    }
    return list;
}

std::vector<std::string> Walk(std::vector<char> &list, Recorder &recorder, bool *clean = nullptr)
{
    PropertyActions actions = {RecordSet, RecordSyntaxError, &recorder};
    bool result = WalkPropertyList(list.data(), list.size(), &actions);
    if (clean != nullptr)
        *clean = result;
    return recorder.calls;
}

TEST(PropertyList, SplitsAtTheFirstEqualsSignAndReportsTheSyntaxErrorOnce)
{
    std::vector<char> list = ListOf({"A=1", "B", "C=x=y", "D", "E="});
    Recorder recorder;
    bool clean = true;
    std::vector<std::string> expected = {"set A 1", "syntax", "set C x=y", "set E "};
    EXPECT_EQ(expected, Walk(list, recorder, &clean));
    EXPECT_FALSE(clean);
    // Only the first equals sign of each string became a NUL.
    EXPECT_EQ(0, memcmp(list.data(), "A\0" "1\0B\0C\0x=y\0D\0E\0\0", 18));
}

TEST(PropertyList, WellFormedListWalksCleanly)
{
    std::vector<char> list = ListOf({"KPX_MS_WINDOWS_APPLICATION=0", "FONT=", "=v"});
    Recorder recorder;
    bool clean = false;
    std::vector<std::string> expected = {"set KPX_MS_WINDOWS_APPLICATION 0", "set FONT ",
                                         "set  v"};
    EXPECT_EQ(expected, Walk(list, recorder, &clean));
    EXPECT_TRUE(clean);
}

TEST(PropertyList, NoSyntaxMessageAfterAFailedSet)
{
    std::vector<char> list = ListOf({"BAD=1", "B", "OK=2", "BAD=3"});
    Recorder recorder;
    recorder.failingNames = {"BAD"};
    bool clean = true;
    std::vector<std::string> expected = {"set BAD 1", "set OK 2", "set BAD 3"};
    EXPECT_EQ(expected, Walk(list, recorder, &clean)) << "every set is tried, no syntax report";
    EXPECT_FALSE(clean);
}

TEST(PropertyList, EndsAtTheEmptyString)
{
    std::vector<char> list = ListOf({"A=1", "", "HIDDEN=2"});
    Recorder recorder;
    EXPECT_EQ(std::vector<std::string>{"set A 1"}, Walk(list, recorder));

    std::vector<char> empty = ListOf({});
    Recorder none;
    bool clean = false;
    EXPECT_TRUE(Walk(empty, none, &clean).empty());
    EXPECT_TRUE(clean);
}

TEST(PropertyList, NeverReadsPastTheBuffer)
{
    // Strings fill the buffer to its last byte, which is the NUL of the last
    // string: there is no room for the closing empty string.
    std::vector<std::string> strings;
    for (int i = 0; i < 64; i++)
        strings.push_back("N" + std::string(1, (char)('A' + i % 26)) + "=" + std::string(11, 'v'));
    std::vector<char> full = ListOf(strings, 64 * 15);
    ASSERT_EQ('\0', full.back());
    Recorder all;
    EXPECT_EQ(64u, Walk(full, all).size());

    // The last string is cut by the end of the buffer, without its NUL.
    std::vector<char> cut = ListOf({"A=1"}, 8);
    memcpy(cut.data() + 4, "B=22", 4);
    Recorder first;
    EXPECT_EQ(std::vector<std::string>{"set A 1"}, Walk(cut, first));
    EXPECT_EQ(0, memcmp(cut.data() + 4, "B=22", 4)) << "the cut string is left alone";

    // No NUL anywhere.
    std::vector<char> noNul(1024, 'x');
    noNul[10] = '=';
    Recorder nothing;
    EXPECT_TRUE(Walk(noNul, nothing).empty());

    std::vector<char> zero(1, 'x');
    PropertyActions actions = {RecordSet, RecordSyntaxError, &nothing};
    EXPECT_TRUE(WalkPropertyList(zero.data(), 0, &actions));
    EXPECT_TRUE(nothing.calls.empty());
}

} // namespace
