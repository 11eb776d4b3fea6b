/*
 * monopenbench.cpp: how long "monopen -default" takes from its start to
 * the request at the base system and to its end, against bare_client.exe,
 * which does the same open, write and two reads and nothing else. The two
 * run alternately against one stand-in monitor server answering "OK",
 * "OK". Prints its figures and the command that reproduces them.
 *
 *   monopen_bench [rounds]   (default 10)
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"
#include "monserver.h"
#include "procstat.h"

using namespace gv;

namespace {

struct Timing {
    bool ok = false;
    double requestMs = 0; /* start to the request at the server */
    double endMs = 0;     /* start to the process's end */
};

Timing TimeOne(MonitorServer &server, const std::string &exe, const std::string &arguments)
{
    Timing t;
    size_t before = server.Requests().size();
    ChildGuard guard;
    double start = NowMs();
    if (!Start(guard.child, exe, arguments))
        return t;
    for (;;) {
        if (t.requestMs == 0 && server.Requests().size() > before)
            t.requestMs = NowMs() - start;
        if (WaitForSingleObject(guard.child.process, 1) == WAIT_OBJECT_0)
            break;
        if (NowMs() - start > 30000)
            return t;
    }
    t.endMs = NowMs() - start;
    if (t.requestMs == 0 && server.Requests().size() > before)
        t.requestMs = t.endMs;
    DWORD code = 1;
    GetExitCodeProcess(guard.child.process, &code);
    t.ok = code == 0 && t.requestMs > 0;
    return t;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    int rounds = argc > 1 ? atoi(argv[1]) : 10;
    printf("monopen -default against the bare clients, %d rounds, load average %s\n", rounds,
           LoadAverage().c_str());
    /* On Windows the desktop is always there. Under Wine its process
     * (explorer.exe /desktop) ends a moment after the last window has gone,
     * and the next program with a window waits for a new one: a window of
     * the bench keeps it for the whole run. */
    HWND keeper = CreateWindowExA(0, "STATIC", "monopen_bench", 0, 0, 0, 10, 10, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    MonitorServer server;
    if (!server.Start()) {
        fprintf(stderr, "the monitor pipe could not be served\n");
        return 1;
    }
    const struct {
        const char *label;
        std::string exe;
        const char *arguments;
    } programs[] = {
        {"bare client", BinPath("bare_client.exe"), ""},
        {"bare client with a window", BinPath("bare_window_client.exe"), ""},
        {"monopen -default", ShippedPath("monopen.exe"), "-default"},
    };
    const int count = 3;
    /* One of each first, unmeasured: the first start of a program under
     * Wine reads its files from disk. */
    for (const auto &p : programs)
        TimeOne(server, p.exe, p.arguments);
    std::vector<double> request[count], end[count];
    bool allOk = true;
    for (int round = 1; round <= rounds; round++) {
        printf("  round %2d:", round);
        for (int i = 0; i < count; i++) {
            Timing t = TimeOne(server, programs[i].exe, programs[i].arguments);
            printf("  %s%6.1f /%6.1f ms", t.ok ? "" : "!!", t.requestMs, t.endMs);
            allOk = allOk && t.ok;
            request[i].push_back(t.requestMs);
            end[i].push_back(t.endMs);
        }
        printf("\n");
    }
    server.Stop();
    DestroyWindow(keeper);
    printf("median, from the start to the request at the server / to the end:\n");
    for (int i = 0; i < count; i++)
        printf("  %-26s %6.1f ms / %6.1f ms\n", programs[i].label, Median(request[i]),
               Median(end[i]));
    for (int i = 0; i < 2; i++)
        printf("monopen / %s: to the request %.2f, to the end %.2f\n", programs[i].label,
               Median(request[2]) / Median(request[i]), Median(end[2]) / Median(end[i]));
    if (!allOk)
        printf("(a run failed: !!)\n");
    printf("load average after: %s\n", LoadAverage().c_str());
    return allOk ? 0 : 1;
}
