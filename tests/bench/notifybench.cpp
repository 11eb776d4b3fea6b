/*
 * notifybench.cpp: how fast the notification window keeps up with a
 * flood, what it costs while nothing happens, how much memory a long
 * flood leaves it with, and whether anything of it grows over a long run
 * of drops and reconnections. Prints its figures and the command that
 * reproduces them; asserts nothing.
 *
 *   notify_bench throughput [messages] [rounds]   (default 20000, 3)
 *   notify_bench idle [seconds]                   (default 60)
 *   notify_bench flood [messages]                 (default 100000)
 *   notify_bench soak [seconds]                   (default 600 and on until
 *                                                  the targets are met)
 *
 * Throughput: a stand-in base system writes numbered messages of 60 bytes
 * as fast as the pipe takes them (1 MB pipe buffer). Measured is the time
 * from the first write until the last message is the last line of the
 * list box, against the same for bare_reader.exe (non-blocking message
 * reads into one buffer, nothing shown), alternately in the same run.
 *
 * Soak: bursts of numbered and status messages, each connection dropped
 * after its burst, for the time given; resident memory, handles and GDI
 * and USER objects sampled along the way (see Soak below).
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
#include "notify/core/timing.h"
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

/* pauseMs: how long the bare reader waits after a read that finds nothing. */
Run BareRun(long count, int pauseMs)
{
    Run run;
    NotifyServer server;
    if (!server.Listen())
        return run;
    ChildGuard reader;
    std::string tag = NewBenchTag("bare");
    std::string exe = TaggedCopy(BinPath("bare_reader.exe"), tag);
    if (exe.empty() ||
        !Start(reader.child, exe, std::to_string(count) + " " + std::to_string(pauseMs)) ||
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
    DWORD startTick = GetTickCount();
    HANDLE thread = StartWriter(writer);
    double end = 0;
    run.ok = WaitUntil([&] {
        if (server.CountReceived("DONE", 0) == 0)
            return false;
        end = NowMs();
        return true;
    }, (DWORD)(60000 + count * 5));
    for (const ReceivedMessage &m : server.Received(0))
        if (m.text == "FIRST")
            run.firstMs = (double)(m.tick - startTick);
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

/* Messages a second from the first message on: the pace of a reader that
 * is draining, without its pause before the first read. */
double DrainRate(long count, const Run &r)
{
    return count * 1000.0 / (r.ms - r.firstMs);
}

void PrintRun(const char *who, long count, const Run &r)
{
    printf("  %-12s %s %8.0f ms  %7.0f msg/s  (writer done at %6.0f ms; CPU %6.0f ms, "
           "wineserver %6.0f ms)\n",
           who, r.ok ? "  " : "!!", r.ms, count * 1000.0 / r.ms, r.writeMs, r.cpuMs,
           r.serverCpuMs);
    if (r.firstMs > 0)
        printf("  %-12s    first message at %.0f ms, %.0f msg/s from there\n", "", r.firstMs,
               DrainRate(count, r));
}

int Throughput(long count, int rounds)
{
    printf("notify throughput: %ld messages of 60 bytes, %d rounds, load average %s\n", count,
           rounds, LoadAverage().c_str());
    printf("program: %s\n", MeasuredProgram().c_str());
    std::vector<double> bare, window, ratios, drainRatios;
    bool allOk = true;
    for (int round = 1; round <= rounds; round++) {
        printf(" round %d\n", round);
        fflush(stdout);
        Run b = BareRun(count, 1);
        PrintRun("bare reader", count, b);
        fflush(stdout);
        Run p = BareRun(count, (int)ReaderIdlePauseMs);
        PrintRun("paced bare", count, p);
        fflush(stdout);
        Run n = NotifyRun(count);
        PrintRun("notify", count, n);
        fflush(stdout);
        allOk = allOk && b.ok && p.ok && n.ok;
        bare.push_back(count * 1000.0 / b.ms);
        window.push_back(count * 1000.0 / n.ms);
        ratios.push_back(b.ms / n.ms);
        drainRatios.push_back(DrainRate(count, n) / DrainRate(count, p));
    }
    printf("median: bare reader %.0f msg/s, notify %.0f msg/s, notify/bare %.2f%s\n",
           Median(bare), Median(window), Median(ratios), allOk ? "" : "  (a run failed: !!)");
    printf("median once draining (from the first message on): notify / bare reader paced "
           "like notify %.2f\n", Median(drainRatios));
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

/* ---- soak ---- */

/*
 * Each connection of the soak gets one burst and is then dropped: numbered
 * messages with status messages spread among them, written into the pipe
 * at once and followed by the close, so that notify reads the burst, then
 * the broken pipe, and reconnects at once. Both panes are served (this
 * computer under two spellings of its name): the reader turns to the other
 * pane while one reconnects, and pauses only when neither has anything.
 * With one pane it would pause a second after every burst.
 */
const int SoakNumbered = 200;   /* numbered messages per connection */
const int SoakStatus = 20;      /* status messages per connection */
const int SoakLongEvery = 50;   /* every 50th connection carries more status */
const int SoakLongStatus = 150; /* messages than the status line keeps */
const DWORD SoakWaitMs = 30000; /* for a reconnection, the last lines */
/* Without a time given: at least 600 s, and on until the targets below
 * are met, for at most 1800 s. */
const DWORD SoakDefaultSeconds = 600;
const DWORD SoakLongestSeconds = 1800;

const long SoakTargetDrops = 5000;
const long SoakTargetNumbered = 1000000;
const long SoakTargetStatus = 100000;

struct SoakTotals {
    long drops = 0;
    long numbered = 0; /* also the number of the last numbered message */
    long status = 0;
    uint64_t bytes = 0;
    bool TargetsMet() const
    {
        return drops >= SoakTargetDrops && numbered >= SoakTargetNumbered &&
               status >= SoakTargetStatus;
    }
};

/* Status message j (from 1): kinds C and L in turn; of every ten, one of
 * 4 KB and one of 1 KB, the others short. */
std::string SoakStatusMessage(long j)
{
    char text[96];
    snprintf(text, sizeof text, "status %ld: pump station %03ld %s", j, j % 997,
             j % 3 ? "running" : "stopped");
    std::string message = Notification(0, j % 2 ? 'C' : 'L', text);
    size_t length = j % 10 == 9 ? 4096 : j % 10 == 4 ? 1024 : 0;
    if (message.size() < length)
        message.resize(length, '.');
    return message;
}

/* The burst of one connection: half the numbered messages, the status
 * messages, the other half. (Each status message ends notify's batch of
 * pane lines, so spreading them thin would measure its batching.) */
bool SendSoakBurst(NotifyServer &server, int connection, int numbered, int status,
                   SoakTotals &totals)
{
    for (int i = 1; i <= numbered; i++) {
        std::string message = FloodMessage(++totals.numbered);
        if (!server.Send(connection, message))
            return false;
        totals.bytes += message.size();
        for (int k = 0; i == numbered / 2 && k < status; k++) {
            message = SoakStatusMessage(++totals.status);
            if (!server.Send(connection, message))
                return false;
            totals.bytes += message.size();
        }
    }
    return true;
}

/* A figure of the process that Wine may not give: -1 then. */
const long Unreadable = -1;

/* An entry of the system's handle table (SystemHandleInformation). */
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

/* The process's entries in the system's handle table, or Unreadable. */
long HandlesInSystemTable(DWORD pid)
{
    typedef LONG(WINAPI * QueryFunction)(ULONG, PVOID, ULONG, PULONG);
    QueryFunction query = (QueryFunction)(void (*)(void))GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (query == NULL)
        return Unreadable;
    const ULONG SystemHandleInformation = 16;
    const LONG InfoLengthMismatch = (LONG)0xC0000004;
    std::vector<char> buffer(1 << 20);
    LONG status;
    while ((status = query(SystemHandleInformation, buffer.data(), (ULONG)buffer.size(),
                           NULL)) == InfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return Unreadable;
    ULONG count = *(ULONG *)buffer.data();
    const SystemHandleEntry *entries =
        (const SystemHandleEntry *)(buffer.data() + sizeof(ULONG_PTR));
    long handles = 0;
    for (ULONG i = 0; i < count; i++)
        handles += entries[i].ownerPid == pid;
    return handles > 0 ? handles : Unreadable;
}

/* GetProcessHandleCount, or where that gives none (Wine answers 0), the
 * system's handle table. */
long HandleCount(const Child &child, const char **source)
{
    DWORD handles = 0;
    if (GetProcessHandleCount(child.process, &handles) && handles > 0) {
        *source = "GetProcessHandleCount";
        return (long)handles;
    }
    *source = "the system's handle table (GetProcessHandleCount gives none)";
    return HandlesInSystemTable(child.pid);
}

struct SoakSample {
    double seconds = 0;
    int connections = 0;
    long numbered = 0;
    long status = 0;
    long residentKb = Unreadable;
    long handles = Unreadable;
    long gdiObjects = Unreadable;
    long userObjects = Unreadable;
    double cpuSeconds = -1;
};

SoakSample TakeSoakSample(const MeasuredNotify &n, double start, int connections,
                          const SoakTotals &totals)
{
    SoakSample s;
    s.seconds = (NowMs() - start) / 1000;
    s.connections = connections;
    s.numbered = totals.numbered;
    s.status = totals.status;
    HANDLE process = n.window.guard.child.process;
    uint64_t kb = ResidentKb(n.unixPid);
    if (kb > 0)
        s.residentKb = (long)kb;
    const char *source = "";
    s.handles = HandleCount(n.window.guard.child, &source);
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (gdi > 0)
        s.gdiObjects = (long)gdi;
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    if (user > 0)
        s.userObjects = (long)user;
    double cpu = CpuMs(n.unixPid);
    if (cpu >= 0)
        s.cpuSeconds = cpu / 1000;
    return s;
}

std::string Cell(long value)
{
    return value == Unreadable ? "-" : std::to_string(value);
}

void PrintSoakHeader()
{
    printf("  %7s %7s %9s %8s %10s %8s %6s %6s %8s\n", "s", "conns", "numbered", "status",
           "RSS kB", "handles", "GDI", "USER", "CPU s");
}

void PrintSoakSample(const SoakSample &s)
{
    printf("  %7.0f %7d %9ld %8ld %10s %8s %6s %6s %8.1f\n", s.seconds, s.connections,
           s.numbered, s.status, Cell(s.residentKb).c_str(), Cell(s.handles).c_str(),
           Cell(s.gdiObjects).c_str(), Cell(s.userObjects).c_str(), s.cpuSeconds);
}

/* Growing or flat: the largest value of the last third of the samples
 * against the largest of the first third. */
void PrintSoakVerdict(const char *figure, const std::vector<SoakSample> &samples,
                      long SoakSample::*field, const char *unreadableWhy)
{
    std::vector<long> values;
    for (const SoakSample &s : samples)
        values.push_back(s.*field);
    if (std::count(values.begin(), values.end(), Unreadable) == (long)values.size()) {
        printf("  %-16s not readable under Wine (%s)\n", figure, unreadableWhy);
        return;
    }
    if (std::count(values.begin(), values.end(), Unreadable) > 0 || values.size() < 4) {
        printf("  %-16s no verdict: %s\n", figure,
               values.size() < 4 ? "fewer than four samples" : "not every sample could be read");
        return;
    }
    /* The start sample is taken before the first burst: the panes fill
     * up after it. It is left out of the thirds. */
    size_t third = std::max<size_t>(1, (values.size() - 1) / 3);
    long firstMax = *std::max_element(values.begin() + 1, values.begin() + 1 + third);
    long lastMax = *std::max_element(values.end() - third, values.end());
    long max = *std::max_element(values.begin(), values.end());
    /* A change within 5% (or 2 units) is noise of a live program. */
    bool growing = lastMax > firstMax + std::max(2L, firstMax / 20);
    printf("  %-16s %s: last third's max %ld against first third's %ld (%+.1f%%); "
           "start %ld, end %ld, max %ld\n",
           figure, growing ? "GROWING" : "flat", lastMax, firstMax,
           100.0 * (lastMax - firstMax) / firstMax, values.front(), values.back(), max);
}

/* untilTargets: past the time given, on until the targets are met. */
int Soak(DWORD seconds, bool untilTargets)
{
    if (untilTargets)
        printf("notify soak: %lu s and on until %ld drops, %ld numbered and %ld status "
               "messages (at most %lu s), load average %s\n",
               seconds, SoakTargetDrops, SoakTargetNumbered, SoakTargetStatus,
               SoakLongestSeconds, LoadAverage().c_str());
    else
        printf("notify soak: %lu s, load average %s\n", seconds, LoadAverage().c_str());
    printf("program: %s\n", MeasuredProgram().c_str());
    printf("each connection: %d numbered messages of 60 bytes with %d status messages among "
           "them in the middle (every %dth connection %d), then dropped; status messages C and L in turn, "
           "one in ten of 4 KB, one in ten of 1 KB; two panes\n",
           SoakNumbered, SoakStatus, SoakLongEvery, SoakLongStatus);
    NotifyServer server;
    if (!server.Listen())
        return 1;
    std::string lower = ComputerName();
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    MeasuredNotify n;
    if (!StartMeasuredNotify(n, ComputerName() + " " + lower) ||
        !server.WaitReceived(0, "ACTIVATE", 1, SoakWaitMs) ||
        !server.WaitReceived(1, "ACTIVATE", 1, SoakWaitMs) ||
        !WaitForLine(n.window, 0, Established, 1, SoakWaitMs) ||
        !WaitForLine(n.window, 1, Established, 1, SoakWaitMs)) {
        printf("  notify did not connect both panes\n");
        return 1;
    }
    SoakTotals totals;
    std::vector<SoakSample> samples;
    double start = NowMs();
    double sampleEveryMs = std::max(10000.0, std::min(60000.0, seconds * 100.0));
    printf("samples (every %.0f s; RSS from Linux, handles and GDI/USER objects as Windows "
           "counts them, - where Wine gives none):\n", sampleEveryMs / 1000);
    PrintSoakHeader();
    samples.push_back(TakeSoakSample(n, start, server.Connections(), totals));
    PrintSoakSample(samples.back());
    const char *handleSource = "";
    HandleCount(n.window.guard.child, &handleSource);

    double deadline = start + seconds * 1000.0;
    double longest = start + std::max(seconds, SoakLongestSeconds) * 1000.0;
    double nextSample = start + sampleEveryMs;
    int next = 0; /* the oldest connection not yet served */
    std::string stopped;
    while (NowMs() < deadline ||
           (untilTargets && !totals.TargetsMet() && NowMs() < longest)) {
        if (!server.WaitReceived(next, "ACTIVATE", 1, SoakWaitMs)) {
            stopped = "notify did not reconnect within 30 s";
            break;
        }
        bool more = (next + 1) % SoakLongEvery == 0;
        if (!SendSoakBurst(server, next, SoakNumbered, more ? SoakLongStatus : SoakStatus,
                           totals)) {
            stopped = "a write did not complete within 10 s";
            break;
        }
        server.Close(next);
        totals.drops++;
        next++;
        if (NowMs() >= nextSample) {
            samples.push_back(TakeSoakSample(n, start, server.Connections(), totals));
            PrintSoakSample(samples.back());
            nextSample += sampleEveryMs;
        }
    }
    double cycleSeconds = (NowMs() - start) / 1000;

    /* The end: a status message and a numbered one on each pane's live
     * connection, which stays; each pane must show its numbered message as
     * its newest line and its status message in the status line. */
    std::vector<std::string> lastLines, lastStatus;
    bool sent = stopped.empty();
    for (int k = next; sent && k < next + 2; k++) {
        char text[64];
        snprintf(text, sizeof text, "soak end: status of connection %d", k + 1);
        std::string status = Notification(0, 'C', text);
        std::string message = FloodMessage(totals.numbered + 1);
        sent = server.WaitReceived(k, "ACTIVATE", 1, SoakWaitMs) && server.Send(k, status) &&
               server.Send(k, message);
        if (sent) {
            totals.numbered++;
            totals.status++;
            totals.bytes += status.size() + message.size();
            lastLines.push_back(FloodText(totals.numbered));
            lastStatus.push_back(text);
        }
    }
    std::string shown[2], statusShown[2];
    bool lastShown = sent && WaitUntil([&] {
        for (int pane = 0; pane < 2; pane++) {
            shown[pane] = LastPaneLine(n.window, pane);
            statusShown[pane] = PaneStatus(n.window, pane);
        }
        for (int k = 0; k < 2; k++)
            if (shown[0] == lastLines[k] && shown[1] == lastLines[1 - k])
                return statusShown[0] == lastStatus[k] && statusShown[1] == lastStatus[1 - k];
        return false;
    }, SoakWaitMs);
    samples.push_back(TakeSoakSample(n, start, server.Connections(), totals));
    PrintSoakSample(samples.back());
    double runSeconds = (NowMs() - start) / 1000;

    int warnings = 0;
    for (int pane = 0; pane < 2; pane++)
        for (const std::string &line : PaneLines(n.window, pane))
            warnings += line.find("WARNING Messages are lost") != std::string::npos;

    printf("verdicts (growing: the largest of the last third of the samples after the start "
           "over the largest of the first third by more than 5%%):\n");
    PrintSoakVerdict("resident memory", samples, &SoakSample::residentKb, "/proc not read");
    PrintSoakVerdict("handles", samples, &SoakSample::handles,
                     "neither GetProcessHandleCount nor the system's handle table gave any");
    printf("  %-16s (counted by %s)\n", "", handleSource);
    PrintSoakVerdict("GDI objects", samples, &SoakSample::gdiObjects, "GetGuiResources gave 0");
    PrintSoakVerdict("USER objects", samples, &SoakSample::userObjects,
                     "GetGuiResources gave 0");

    printf("totals: %d connections, %ld drops, %ld numbered messages, %ld status messages, "
           "%.1f MB, in %.0f s (%.0f s of drops; %.1f drops/s, %.0f numbered/s, %.0f status/s)\n",
           server.Connections(), totals.drops, totals.numbered, totals.status,
           totals.bytes / 1e6, runSeconds, cycleSeconds, totals.drops / cycleSeconds,
           totals.numbered / cycleSeconds, totals.status / cycleSeconds);
    if (!stopped.empty())
        printf("  STOPPED EARLY: %s\n", stopped.c_str());
    printf("  targets of a full run (%ld drops, %ld numbered, %ld status): %s\n",
           SoakTargetDrops, SoakTargetNumbered, SoakTargetStatus,
           totals.TargetsMet() ? "met" : "NOT met");
    printf("  at the end: %s (upper pane \"%s\", status \"%s\"; lower pane \"%s\", status "
           "\"%s\"); %d lost-message warnings in the panes\n",
           lastShown ? "each pane showed its last message and status" : "NOT shown",
           shown[0].c_str(), statusShown[0].c_str(), shown[1].c_str(), statusShown[1].c_str(),
           warnings);
    double closeStart = NowMs();
    long code = CloseNotify(n.window, 20000);
    printf("  closed: exit code %ld after %.0f ms (DEACTIVATE received %d times)\n", code,
           NowMs() - closeStart, server.CountReceived("DEACTIVATE"));
    printf("load average after: %s\n", LoadAverage().c_str());
    return stopped.empty() && lastShown && code == 0 ? 0 : 1;
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
    if (mode == "soak")
        return argc > 2 ? Soak((DWORD)atol(argv[2]), false) : Soak(SoakDefaultSeconds, true);
    fprintf(stderr, "usage: notify_bench throughput [messages] [rounds] | idle [seconds] | "
                    "flood [messages] | soak [seconds]\n");
    return 2;
}
