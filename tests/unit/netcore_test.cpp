// Network rules of both programs: the errors that call for a logon, and the
// IPC$ remote name that never overflows its buffer.
#include <gtest/gtest.h>

#include <string>

#include "netcore.h"

namespace {

TEST(Network, AccessDeniedFamily)
{
    for (uint32_t code : {5u, 86u, 1326u, 1327u, 1328u, 1329u, 1330u, 1331u})
        EXPECT_TRUE(IsAccessDeniedError(code)) << code;
    for (uint32_t code : {0u, 2u, 3u, 53u, 109u, 231u, 1325u, 1332u, 1222u})
        EXPECT_FALSE(IsAccessDeniedError(code)) << code;
}

TEST(Network, RemoteName)
{
    char remote[RemoteNameSize];
    ASSERT_TRUE(FormIpcRemoteName(".", remote, sizeof remote));
    EXPECT_STREQ("\\\\.\\IPC$", remote);
    std::string fifteen(15, 'H');
    ASSERT_TRUE(FormIpcRemoteName(fifteen.c_str(), remote, sizeof remote));
    EXPECT_EQ("\\\\" + fifteen + "\\IPC$", remote);
    std::string longest(17, 'H'); // 2 + 17 + 5 = 24 characters: one too many
    EXPECT_TRUE(FormIpcRemoteName(std::string(16, 'H').c_str(), remote, sizeof remote));
    EXPECT_FALSE(FormIpcRemoteName(longest.c_str(), remote, sizeof remote));
    EXPECT_STREQ("", remote) << "a refused name leaves nothing to connect to";
}

TEST(Network, LogonErrorText)
{
    char text[256];
    LogonErrorText(1326, text, sizeof text);
    EXPECT_STREQ("Unknown user name or bad password. (1326).", text);
    LogonErrorText(53, text, sizeof text);
    EXPECT_STREQ("An error occurred when trying to connect to the shared resource (53).", text);
    LogonErrorText(1222, text, sizeof text);
    EXPECT_STREQ("An error occurred when trying to connect to the shared resource (1222).", text);
}

} // namespace
