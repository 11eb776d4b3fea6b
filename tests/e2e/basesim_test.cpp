// basesim, the simulated base system of the demo, against the real opener
// and against a pipe client of the test: it decodes what monopen sends and
// answers as told, and numbers its notifications with the wrap-around, the
// gaps and the dropped connections it was asked for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

using gv::BinPath;

const char NotificationPipe[] = "\\\\.\\pipe\\KPX\\PIPE_stderr";
const char MonitorPipe[] = "\\\\.\\pipe\\KPX\\PIPE_monts";

struct Simulator {
    gv::ChildGuard guard;
    bool Start(const std::string &arguments)
    {
        gv::StartOptions options;
        options.captureOutput = true;
        return gv::Start(guard.child, BinPath("basesim.exe"), arguments + " --duration 120",
                         options) &&
               Printed("basesim ready", 20000);
    }
    // Its lines, with the line ends of a Windows console program made plain.
    std::string Output()
    {
        std::string text;
        for (const std::string &line : gv::SplitLines(gv::Output(guard.child)))
            text += line + "\n";
        return text;
    }
    bool Printed(const std::string &text, DWORD timeoutMs)
    {
        return gv::WaitUntil([&] { return Output().find(text) != std::string::npos; },
                             timeoutMs);
    }
};

// One pipe message within the time, or false (the pipe broke or nothing came).
bool ReadMessage(HANDLE pipe, std::string *message, DWORD *error, DWORD timeoutMs = 5000)
{
    *error = 0;
    bool ready = gv::WaitUntil([&] {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, NULL, 0, NULL, &available, NULL)) {
            *error = GetLastError();
            return true;
        }
        return available > 0;
    }, timeoutMs);
    if (!ready || *error != 0)
        return false;
    char buffer[1024];
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer, &got, NULL)) {
        *error = GetLastError();
        return false;
    }
    message->assign(buffer, got);
    return true;
}

HANDLE OpenPipe(const char *name)
{
    HANDLE pipe = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (pipe != INVALID_HANDLE_VALUE)
        SetNamedPipeHandleState(pipe, &mode, NULL, NULL);
    return pipe;
}

bool Write(HANDLE pipe, const std::string &text)
{
    DWORD written = 0;
    return WriteFile(pipe, text.data(), (DWORD)text.size(), &written, NULL) != 0;
}

TEST(Basesim, DecodesTheOpenersRequestsAndAnswersAsTold)
{
    Simulator sim;
    ASSERT_TRUE(sim.Start("--replies OK,ERROR --rate 0")) << sim.Output();

    // "." is no computer's name: the request goes to the pipe on ".".
    gv::ProgramRun run = gv::RunToEnd(gv::ShippedPath("monopen.exe"), "-d . 7",
                                      gv::StartOptions(), "Gridvane Monitor", 30000);
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_EQ(std::vector<std::string>{"The remote system could not start requested monitor."},
              run.messages);
    EXPECT_TRUE(sim.Printed("    pre-defined monitor, setting 7\n", 5000)) << sim.Output();
    EXPECT_TRUE(sim.Printed("monitor request 1 answered \"OK\", \"ERROR\"", 5000));

    run = gv::RunToEnd(gv::ShippedPath("monopen.exe"), "-default", gv::StartOptions(),
                       "Gridvane Monitor", 30000);
    ASSERT_TRUE(run.ended) << run.windows;
    EXPECT_TRUE(sim.Printed("monitor request 2 (164 bytes), decoded:\n", 5000)) << sim.Output();
    EXPECT_TRUE(sim.Printed("    VS Local monitor: application 0, application monitor 0\n", 5000));

    // Not a request of the opener's: printed as bytes, answered all the same.
    HANDLE pipe = OpenPipe(MonitorPipe);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe) << GetLastError();
    ASSERT_TRUE(Write(pipe, std::string("RTD LVS KPX_MS_WINDOWS_APPLICATION=007\0", 39)));
    std::string reply;
    DWORD error;
    EXPECT_TRUE(ReadMessage(pipe, &reply, &error) && reply == "OK") << reply << " " << error;
    EXPECT_TRUE(ReadMessage(pipe, &reply, &error) && reply == "ERROR") << reply << " " << error;
    CloseHandle(pipe);
    EXPECT_TRUE(sim.Printed("monitor request 3 (39 bytes) NOT DECODED: VS Local request with 1 "
                            "strings instead of 5", 5000)) << sim.Output();
    EXPECT_TRUE(sim.Printed("bytes: RTD LVS KPX_MS_WINDOWS_APPLICATION=007\\0\n", 5000));
}

TEST(Basesim, NumbersNotificationsWithWrapGapsAndDrops)
{
    Simulator sim;
    ASSERT_TRUE(sim.Start("--rate 20 --start 9998 --gap-every 3 --gap-size 2 --status-every 4 "
                          "--drop-every 5")) << sim.Output();

    HANDLE pipe = OpenPipe(NotificationPipe);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe) << GetLastError();
    std::string message;
    DWORD error = 0;
    EXPECT_FALSE(ReadMessage(pipe, &message, &error, 500)) << "nothing before ACTIVATE: " << message;
    ASSERT_TRUE(Write(pipe, "ACTIVATE"));
    std::vector<std::string> headers;
    while (ReadMessage(pipe, &message, &error))
        headers.push_back(message.substr(0, 7));
    CloseHandle(pipe);
    EXPECT_EQ(109u, error) << "the simulator closes its end after five notifications";
    EXPECT_EQ((std::vector<std::string>{"0000 C ", "9998 L ", "9999 L ", "0001 L ", "0004 L ",
                                        "0000 C ", "0005 L "}),
              headers);

    // A new connection goes on with the numbering; DEACTIVATE is printed.
    pipe = OpenPipe(NotificationPipe);
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe) << GetLastError();
    ASSERT_TRUE(Write(pipe, "ACTIVATE"));
    ASSERT_TRUE(ReadMessage(pipe, &message, &error));
    EXPECT_EQ("0000 C ", message.substr(0, 7));
    ASSERT_TRUE(ReadMessage(pipe, &message, &error));
    EXPECT_EQ("0006 L ", message.substr(0, 7));
    ASSERT_TRUE(Write(pipe, "DEACTIVATE"));
    EXPECT_TRUE(sim.Printed("notification client 2: DEACTIVATE", 5000)) << sim.Output();
    CloseHandle(pipe);
    EXPECT_TRUE(sim.Printed("notification client 2 closed the connection", 5000));
    std::string output = sim.Output();
    EXPECT_NE(std::string::npos, output.find("notification client 1: ACTIVATE"));
    EXPECT_NE(std::string::npos,
              output.find("notification client 1: dropping the connection after 5 "
                          "notifications (last 0005)"))
        << output;
}

} // namespace
