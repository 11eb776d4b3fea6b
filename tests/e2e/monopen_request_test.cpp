// Monitor requests sent from the command line: where they go, the bytes that
// cross the pipe, and every answer of the base system with its message
// (among them a server that closes after the first reply, one that answers
// with 2000 bytes, and one that never answers).
#include <gtest/gtest.h>

#include "basesys.h"
#include "monopen/core/timing.h"
#include "monserver.h"
#include "opener.h"

using namespace gv;

namespace {

const std::string DefaultRequest = Bytes(
    "RTD LVS KPX_MS_WINDOWS_APPLICATION=0\0KPX_MS_WINDOWS_MONITOR=0\0"
    "KPX_X_TERMINAL_FONT=family:Gridvane0810-size:10\0"
    "FONT=family:MS Sans Serif-size:8-face:medium\0DISPLAY=\0",
    164);
const std::string Setting7 = Bytes("DEF   7 \0", 9);
const char XHookTrace[] = "OutputDebugStringA \"PrepareXDisplay exceed\\n\"";
const char Unreachable[] = "Could not establish a connection to the Gridvane base system computer";

class MonitorRequest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SetUpInstallation(InstallRoot)); }
    MonitorServer server;

    static ProgramRun Open(const std::string &arguments)
    {
        StartOptions options;
        options.env.push_back("WINEDEBUG=warn+debugstr");
        return RunOpener(arguments, options, 30000);
    }
};

TEST_F(MonitorRequest, DefaultMonitorGoesToTheLocalPipe)
{
    ASSERT_TRUE(server.Start());
    ProgramRun run = Open("-default");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ(DefaultRequest, server.Requests()[0]);
    EXPECT_EQ(std::string::npos, run.output.find(XHookTrace)) << "no X display for VS Local";
}

TEST_F(MonitorRequest, DefaultMonitorKeepsAGivenFont)
{
    ASSERT_TRUE(server.Start());
    ProgramRun run = Open("-default -fl \"family:Fixed-size:9\" -fr \"family:Other\"");
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(run.messages.empty()) << Joined(run.messages);
    ASSERT_EQ(1u, server.Requests().size());
    const std::string request = server.Requests()[0];
    EXPECT_NE(std::string::npos, request.find(std::string("\0FONT=family:Fixed-size:9\0", 26)))
        << "the -fl font, not an empty one";
}

TEST_F(MonitorRequest, ThisComputerUnderAnySpellingIsAskedLocally)
{
    ASSERT_TRUE(server.Start());
    const std::string spellings[] = {Lower(ComputerName()), "   " + ComputerName(),
                                     ComputerName() + "X"};
    for (const std::string &node : spellings) {
        size_t before = server.Requests().size();
        ProgramRun run = Open("-d " + node + " 7");
        ASSERT_TRUE(run.ended) << node << ": " << run.windows;
        EXPECT_TRUE(run.messages.empty()) << node << ": " << Joined(run.messages);
        ASSERT_EQ(before + 1, server.Requests().size()) << node << " did not reach the local pipe";
        EXPECT_EQ(Setting7, server.Requests().back()) << node;
        EXPECT_EQ(std::string::npos, run.output.find(XHookTrace)) << node;
    }
}

TEST_F(MonitorRequest, AnotherComputerIsAskedOverTheNetwork)
{
    ASSERT_TRUE(server.Start());
    ProgramRun run = Open("-d " + OtherHostName() + " 7");
    ASSERT_TRUE(run.ended) << run.windows;
    // Wine answers a pipe on another computer with ERROR_PATH_NOT_FOUND.
    EXPECT_EQ(std::vector<std::string>{std::string(Unreachable) + " (3)."}, run.messages);
    EXPECT_TRUE(server.Requests().empty()) << "the local pipe was asked instead";
}

TEST_F(MonitorRequest, EveryAnswerOfTheBaseSystem)
{
    const struct {
        std::vector<std::string> replies;
        bool closeAfterReplies;
        std::vector<std::string> messages;
        bool xHook;
    } rows[] = {
        {{"OK", "OK"}, false, {}, false},
        {{"OK", "ERROR"}, false, {"The remote system could not start requested monitor."}, false},
        {{"OK", "xyz"}, false, {"The base system responded with an unknown message. (xyz)."},
         false},
        {{"OK_X", "OK"}, false, {}, true},
        {{"OK_X", "ERROR"}, false, {"The remote system could not start requested monitor."},
         true},
        {{"ok", "OK"}, false, {"The base system responded with an unknown message. (ok)."}, false},
        {{"abc", "ERROR"}, false,
         {"The base system responded with an unknown message. (abc).",
          "The remote system could not start requested monitor."},
         false},
        {{}, true, {"Could not read data from Gridvane 1 (109)."}, false},
        {{"OK"}, true, {"Could not read data from Gridvane 2 (109)."}, false},
        {{std::string(2000, 'x')}, false, {"Could not read data from Gridvane 1 (234)."}, false},
    };
    for (const auto &row : rows) {
        MonitorServer answering;
        MonitorServerScript script;
        script.replies = row.replies;
        script.closeAfterReplies = row.closeAfterReplies;
        ASSERT_TRUE(answering.Start(script));
        std::string label = Joined(row.replies).substr(0, 40);
        ProgramRun run = Open("-default");
        answering.Stop();
        ASSERT_TRUE(run.ended) << label << ": " << run.windows;
        EXPECT_EQ(row.messages, run.messages) << label;
        EXPECT_EQ(row.xHook, run.output.find(XHookTrace) != std::string::npos) << label;
        ASSERT_EQ(1u, answering.Requests().size()) << label;
        EXPECT_EQ(DefaultRequest, answering.Requests()[0]) << label;
    }
}

TEST_F(MonitorRequest, ABaseSystemThatNeverAnswersIsWaitedForWithoutLimit)
{
    // The reads have no time limit by design: the opener waits until the
    // base system answers or goes away.
    MonitorServerScript script;
    script.neverAnswer = true;
    ASSERT_TRUE(server.Start(script));
    ChildGuard guard;
    ASSERT_TRUE(StartOpener(guard.child, "-default"));
    ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; }, 10000));
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(guard.child.process, OpenRetryPauseMs))
        << "gave up waiting, sooner than its own longest pause";
    EXPECT_EQ(nullptr, WaitForMessageBox(guard.child.pid, NULL, 0))
        << DescribeWindows(guard.child.pid);
    server.Stop();
    EXPECT_EQ("Could not read data from Gridvane 1 (109).",
              DismissMessageBox(guard.child.pid, OpenerCaption, 10000));
    ASSERT_TRUE(WaitExitCode(guard.child, 10000, 0));
}

TEST_F(MonitorRequest, NoBaseSystemAndRetriesAPauseApart)
{
    for (DWORD retries : {0, 2}) {
        DWORD start = GetTickCount();
        ProgramRun run = Open(retries == 0 ? "-default" : "-default -r 2");
        DWORD elapsed = GetTickCount() - start;
        ASSERT_TRUE(run.ended) << run.windows;
        EXPECT_EQ(std::vector<std::string>{std::string(Unreachable) + " (2)."}, run.messages)
            << "one message, after the last attempt";
        EXPECT_GE(elapsed, retries * OpenRetryPauseMs) << retries << " retries";
        EXPECT_LE(elapsed, retries * OpenRetryPauseMs + LoadMarginMs) << retries << " retries";
    }
}

TEST_F(MonitorRequest, RetryReachesAServerThatComesLate)
{
    ChildGuard guard;
    StartOptions options;
    options.env.push_back("WINEDEBUG=trace+file");
    size_t mark = MarkUnixStderr();
    ASSERT_TRUE(StartOpener(guard.child, "-default -r 1", options));
    // The first open, in Wine's trace, fails at once without a pipe.
    const char first[] = R"(CreateFileW L"\\\\.\\pipe\\KPX\\PIPE_monts")";
    ASSERT_TRUE(WaitUntil([&] { return UnixStderrSince(mark).find(first) != std::string::npos; },
                          10000));
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(WaitExitCode(guard.child, OpenRetryPauseMs + LoadMarginMs, 0));
    ASSERT_EQ(1u, server.Requests().size()) << "the second attempt should have reached it";
    EXPECT_EQ(DefaultRequest, server.Requests()[0]);
}

TEST_F(MonitorRequest, MessageModeRefused)
{
    MonitorServerScript script;
    script.byteMode = true;
    script.replies = {"OKOK"};
    script.closeAfterReplies = true;
    ASSERT_TRUE(server.Start(script));
    ProgramRun run = Open("-default");
    ASSERT_TRUE(run.ended) << run.windows;
    ASSERT_EQ(3u, run.messages.size()) << Joined(run.messages);
    EXPECT_EQ(0u, run.messages[0].find("Could not set the appropriate communication mode. Trying "
                                       "to continue ... ("))
        << run.messages[0];
    EXPECT_EQ("The base system responded with an unknown message. (OKOK).", run.messages[1])
        << "the exchange went on after the mode message";
    EXPECT_EQ("Could not read data from Gridvane 2 (109).", run.messages[2]);
}

TEST_F(MonitorRequest, RequestNotDelivered)
{
    // The mode message holds the opener between the open and the write;
    // meanwhile the base system drops the connection.
    MonitorServerScript script;
    script.byteMode = true;
    script.dropAtOnce = true;
    ASSERT_TRUE(server.Start(script));
    ChildGuard guard;
    ASSERT_TRUE(StartOpener(guard.child, "-default"));
    HWND box = WaitForMessageBox(guard.child.pid, OpenerCaption, 10000);
    ASSERT_NE(nullptr, box) << DescribeWindows(guard.child.pid);
    std::string text = MessageBoxText(box);
    EXPECT_EQ(0u, text.find("Could not set the appropriate communication mode.")) << text;
    ASSERT_TRUE(WaitUntil([&] { return server.Closed() == 1; }, 5000));
    PressMessageBox(box);
    std::string next = DismissMessageBox(guard.child.pid, OpenerCaption, 10000);
    EXPECT_TRUE(next == "Could not deliver the data to Gridvane (109)." ||
                next == "Could not deliver the data to Gridvane (232).")
        << next;
    ASSERT_TRUE(WaitExitCode(guard.child, 10000, 0));
}

} // namespace
