/*
 * notifybench.cpp: how fast the notification window keeps up with a
 * flood, what it costs while nothing happens, and how much memory a long
 * flood leaves it with. Prints its figures and the command that
 * reproduces them; asserts nothing.
 *
 *   notify_bench throughput [messages] [rounds]   (default 20000, 3)
 *   notify_bench idle [seconds]                   (default 60)
 *   notify_bench flood [messages]                 (default 100000)
 *
 * Throughput: a stand-in base system writes numbered messages of 60 bytes
 * as fast as the pipe takes them (1 MB pipe buffer). Measured is the time
 * from the first write until the last message is the last line of the
 * list box, against the same for bare_reader.exe (non-blocking message
 * reads into one buffer, nothing shown), alternately in the same run.
 *
 * CPU time and peak memory come from the Linux side of Wine (procstat.h).
 *
 * GV_BENCH_NOTIFY=<path> measures another build of notify.exe (an earlier
 * one, for figures before and after a change); GV_HOLD_WINDOW_MS keeps the
 * window of a flood open that long after the last line, to look at it.
 */
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"
#include "notifyserver.h"
#include "notifywin.h"
#include "procstat.h"

using namespace gv;

namespace {

const char Established[] = "[notify] A connection to Gridvane has been established.";

/* Message i (from 1) of a flood: 60 bytes with its header. */
std::string FloodMessage(long i)
{
    char text[64];
    snprintf(text, sizeof text, "pump station %03ld level %ld.%03ld m flow %3ld l/s msg %7ld",
             i % 997, i % 7, i % 1000, i % 300, i);
    std::string message = Notification((int)((i - 1) % 9999 + 1), 'M', text);
    message.resize(60, ' ');
    return message;
}

std::string FloodText(long i)
{
    return FloodMessage(i).substr(7);
}

struct Writer {
    NotifyServer *server;
    std::vector<std::string> messages;
    double doneMs = 0;
    bool ok = false;
};

DWORD WINAPI WriteAll(LPVOID parameter)
{
    Writer *w = (Writer *)parameter;
    w->ok = w->server->SendAll(0, w->messages);
    w->doneMs = NowMs();
    return 0;
}

HANDLE StartWriter(Writer &writer)
{
    return CreateThread(NULL, 0, WriteAll, &writer, 0, NULL);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Run {
    bool ok = false;
    double ms = 0;        /* first write to the last message shown / read */
    double writeMs = 0;   /* first write to the last write done */
    double firstMs = 0;   /* first write to the first message shown (notify) */
    double cpuMs = 0;     /* the reader's process, Linux side */
    double serverCpuMs = 0; /* the wineserver */
    uint64_t peakKb = 0;
};

/* A started notify.exe that the bench can measure from the Linux side. */
struct MeasuredNotify {
    NotifyWindow window;
    int unixPid = 0;
    std::string copy;
    ~MeasuredNotify()
    {
        Release(window.guard.child);
        RemoveTaggedCopy(copy);
    }
};

std::string EnvironmentText(const char *name)
{
    char value[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
}

std::string MeasuredProgram()
{
    std::string other = EnvironmentText("GV_BENCH_NOTIFY");
    return other.empty() ? NotifyPath() : other;
}

bool StartMeasuredNotify(MeasuredNotify &n, const std::string &arguments)
{
    std::string tag = NewBenchTag("notify");
    n.copy = TaggedCopy(MeasuredProgram(), tag);
    if (n.copy.empty() || !Start(n.window.guard.child, n.copy, arguments))
        return false;
    n.window.main = WaitForWindow(n.window.guard.child.pid, "GrdvNotify", NotifyCaption, 20000);
    if (n.window.main == NULL)
        return false;
    n.window.panes = FindWindowExA(n.window.main, NULL, "#32770", NULL);
    WaitUntil([&] { return (n.unixPid = FindUnixProcess(tag)) != 0; }, 5000);
    return n.window.panes != NULL;
}

double CpuMs(int pid)
{
    UnixCpu cpu = ReadUnixCpu(pid);
    return cpu.ok ? (double)cpu.runNs / 1e6 : -1;
}

Run NotifyRun(long count)
{
    Run run;
    NotifyServer server;
    if (!server.Listen())
        return run;
    MeasuredNotify n;
    if (!StartMeasuredNotify(n, "") || !server.WaitReceived(0, "ACTIVATE", 1, 20000) ||
        !WaitForLine(n.window, 0, Established, 1, 20000)) {
        fprintf(stderr, "notify did not connect\n");
        return run;
    }
    Writer writer;
    writer.server = &server;
    for (long i = 1; i <= count; i++)
        writer.messages.push_back(FloodMessage(i));
    const std::string last = FloodText(count);
    HWND list = PaneList(n.window, 0);
    int wineServer = FindWineServer();
    double cpu0 = CpuMs(n.unixPid);
    double server0 = CpuMs(wineServer);

    double start = NowMs();
    HANDLE thread = StartWriter(writer);
    double end = 0;
    double first = 0;
    DWORD limit = (DWORD)(60000 + count * 20);
    run.ok = WaitUntil([&] {
        int lines = (int)SendW(list, LB_GETCOUNT, 0, 0);
        if (first == 0 && lines > 1)
            first = NowMs();
        if (lines <= 0 || ListBoxLine(list, lines - 1) != last)
            return false;
        end = NowMs();
        return true;
    }, limit);
    run.firstMs = first - start;
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    run.ok = run.ok && writer.ok;
    run.ms = end - start;
    run.writeMs = writer.doneMs - start;
    run.cpuMs = CpuMs(n.unixPid) - cpu0;
    run.serverCpuMs = CpuMs(wineServer) - server0;
    run.peakKb = PeakResidentKb(n.unixPid);
    CloseNotify(n.window, 20000);
    return run;
}

Run BareRun(long count)
{
    Run run;
    NotifyServer server;
    if (!server.Listen())
        return run;
    ChildGuard reader;
    std::string tag = NewBenchTag("bare");
    std::string exe = TaggedCopy(BinPath("bare_reader.exe"), tag);
    if (exe.empty() || !Start(reader.child, exe, std::to_string(count)) ||
        !server.WaitReceived(0, "ACTIVATE", 1, 20000)) {
        fprintf(stderr, "bare_reader did not connect\n");
        return run;
    }
    int unixPid = 0;
    WaitUntil([&] { return (unixPid = FindUnixProcess(tag)) != 0; }, 5000);
    Writer writer;
    writer.server = &server;
    for (long i = 1; i <= count; i++)
        writer.messages.push_back(FloodMessage(i));
    int wineServer = FindWineServer();
    double cpu0 = CpuMs(unixPid);
    double server0 = CpuMs(wineServer);

    double start = NowMs();
    HANDLE thread = StartWriter(writer);
    double end = 0;
    run.ok = WaitUntil([&] {
        if (server.CountReceived("DONE", 0) == 0)
            return false;
        end = NowMs();
        return true;
    }, (DWORD)(60000 + count * 5));
    run.cpuMs = CpuMs(unixPid) - cpu0;
    run.serverCpuMs = CpuMs(wineServer) - server0;
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    run.ok = run.ok && writer.ok;
    run.ms = end - start;
    run.writeMs = writer.doneMs - start;
    server.Shutdown();
    DWORD code = 1;
    WaitExit(reader.child, 10000, &code);
    Release(reader.child);
    RemoveTaggedCopy(exe);
    run.ok = run.ok && code == 0;
    return run;
}

void PrintRun(const char *who, long count, const Run &r)
{
    printf("  %-12s %s %8.0f ms  %7.0f msg/s  (writer done at %6.0f ms; CPU %6.0f ms, "
           "wineserver %6.0f ms)\n",
           who, r.ok ? "  " : "!!", r.ms, count * 1000.0 / r.ms, r.writeMs, r.cpuMs,
           r.serverCpuMs);
    if (r.firstMs > 0)
        printf("  %-12s    first message shown at %.0f ms (the reader polls once a second "
               "while nothing comes), %.0f msg/s from there\n",
               "", r.firstMs, count * 1000.0 / (r.ms - r.firstMs));
}

int Throughput(long count, int rounds)
{
    printf("notify throughput: %ld messages of 60 bytes, %d rounds, load average %s\n", count,
           rounds, LoadAverage().c_str());
    printf("program: %s\n", MeasuredProgram().c_str());
    std::vector<double> bare, window, ratios;
    bool allOk = true;
    for (int round = 1; round <= rounds; round++) {
        printf(" round %d\n", round);
        fflush(stdout);
        Run b = BareRun(count);
        PrintRun("bare reader", count, b);
        fflush(stdout);
        Run n = NotifyRun(count);
        PrintRun("notify", count, n);
        fflush(stdout);
        allOk = allOk && b.ok && n.ok;
        bare.push_back(count * 1000.0 / b.ms);
        window.push_back(count * 1000.0 / n.ms);
        ratios.push_back(b.ms / n.ms);
    }
    printf("median: bare reader %.0f msg/s, notify %.0f msg/s, notify/bare %.2f%s\n",
           Median(bare), Median(window), Median(ratios), allOk ? "" : "  (a run failed: !!)");
    printf("load average after: %s\n", LoadAverage().c_str());
    return allOk ? 0 : 1;
}

/* CPU of a notify.exe over a quiet time, with its two hosts as given. */
void IdleCase(const char *label, const std::string &arguments, bool serve, DWORD seconds)
{
    NotifyServer server;
    if (serve && !server.Listen())
        return;
    MeasuredNotify n;
    if (!StartMeasuredNotify(n, arguments)) {
        printf("  %s: notify did not start\n", label);
        return;
    }
    if (serve && (!server.WaitConnections(2, 20000) || !WaitForLine(n.window, 0, Established, 1, 10000) ||
                  !WaitForLine(n.window, 1, Established, 1, 10000))) {
        printf("  %s: the hosts did not connect\n", label);
        return;
    }
    Sleep(3000); /* start-up over */
    int wineServer = FindWineServer();
    UnixCpu before = ReadUnixCpu(n.unixPid);
    double server0 = CpuMs(wineServer);
    double start = NowMs();
    Sleep(seconds * 1000);
    UnixCpu after = ReadUnixCpu(n.unixPid);
    double elapsed = NowMs() - start;
    double cpuMs = (double)(after.runNs - before.runNs) / 1e6;
    double serverMs = CpuMs(wineServer) - server0;
    printf("  %-28s notify %7.1f ms CPU in %.0f s = %.4f%% of one core (ticks %llu); "
           "wineserver %.1f ms\n",
           label, cpuMs, elapsed / 1000, 100.0 * cpuMs / elapsed,
           (unsigned long long)(after.ticks - before.ticks), serverMs);
    fflush(stdout);
    CloseNotify(n.window, 20000);
}

int Idle(DWORD seconds)
{
    printf("notify idle cost over %lu s, load average %s\n", seconds, LoadAverage().c_str());
    printf("program: %s\n", MeasuredProgram().c_str());
    // What the wineserver spends anyway (the prefix's own services), to set
    // against its figures below.
    int wineServer = FindWineServer();
    double server0 = CpuMs(wineServer);
    double start = NowMs();
    Sleep(seconds * 1000);
    printf("  %-28s wineserver %.1f ms in %.0f s\n", "no notify running", CpuMs(wineServer) - server0,
           (NowMs() - start) / 1000);
    std::string lower = ComputerName();
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    IdleCase("two connected silent hosts", ComputerName() + " " + lower, true, seconds);
    IdleCase("two unreachable hosts", OtherHostName("1") + " " + OtherHostName("2"), false,
             seconds);
    printf("load average after: %s\n", LoadAverage().c_str());
    return 0;
}

int Flood(long count)
{
    printf("notify flood: %ld messages of 60 bytes, load average %s\n", count,
           LoadAverage().c_str());
    printf("program: %s\n", MeasuredProgram().c_str());
    NotifyServer server;
    if (!server.Listen())
        return 1;
    MeasuredNotify n;
    if (!StartMeasuredNotify(n, "") || !WaitForLine(n.window, 0, Established, 1, 20000))
        return 1;
    uint64_t startKb = ResidentKb(n.unixPid);
    Writer writer;
    writer.server = &server;
    for (long i = 1; i <= count; i++)
        writer.messages.push_back(FloodMessage(i));
    HWND list = PaneList(n.window, 0);
    const std::string last = FloodText(count);
    double start = NowMs();
    HANDLE thread = StartWriter(writer);
    double end = 0;
    bool ok = WaitUntil([&] {
        int lines = (int)SendW(list, LB_GETCOUNT, 0, 0);
        if (lines <= 0 || ListBoxLine(list, lines - 1) != last)
            return false;
        end = NowMs();
        return true;
    }, (DWORD)(60000 + count * 20));
    WaitForSingleObject(thread, 30000);
    CloseHandle(thread);
    printf("  %s %ld messages in %.0f ms = %.0f msg/s; %d lines in the pane\n",
           ok ? "shown:" : "NOT all shown:", count, end - start, count * 1000.0 / (end - start),
           (int)SendW(list, LB_GETCOUNT, 0, 0));
    printf("  resident set: %llu kB after connecting, %llu kB after the flood, peak %llu kB\n",
           (unsigned long long)startKb, (unsigned long long)ResidentKb(n.unixPid),
           (unsigned long long)PeakResidentKb(n.unixPid));
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    if (K32GetProcessMemoryInfo(n.window.guard.child.process, &counters, sizeof counters))
        printf("  Windows view: working set %llu kB, peak %llu kB\n",
               (unsigned long long)counters.WorkingSetSize / 1024,
               (unsigned long long)counters.PeakWorkingSetSize / 1024);
    printf("load average after: %s\n", LoadAverage().c_str());
    std::string hold = EnvironmentText("GV_HOLD_WINDOW_MS");
    if (!hold.empty())
        Sleep((DWORD)atol(hold.c_str()));
    CloseNotify(n.window, 20000);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "throughput")
        return Throughput(argc > 2 ? atol(argv[2]) : 20000, argc > 3 ? atoi(argv[3]) : 3);
    if (mode == "idle")
        return Idle(argc > 2 ? (DWORD)atol(argv[2]) : 60);
    if (mode == "findtag" && argc > 2) {
        printf("%d\n", FindUnixProcess(argv[2]));
        return 0;
    }
    if (mode == "flood")
        return Flood(argc > 2 ? atol(argv[2]) : 100000);
    fprintf(stderr, "usage: notify_bench throughput [messages] [rounds] | idle [seconds] | "
                    "flood [messages]\n");
    return 2;
}
