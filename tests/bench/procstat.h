/*
 * procstat.h: what Linux knows about a process that runs under Wine, read
 * from /proc through Wine's Z: drive. Under Wine, GetProcessTimes of
 * another process stays at zero, so CPU time and peak memory of the
 * programs measured come from here.
 *
 * A program is found by a tag in its path: the Unix side of a Wine process
 * has the Windows command line as its own, so a program started from a
 * copy in a directory named after the tag shows it in /proc/<pid>/cmdline.
 */
#ifndef GV_BENCH_PROCSTAT_H
#define GV_BENCH_PROCSTAT_H

#include <stdint.h>

#include <string>

namespace gv {

/* A tag unique to this run. */
std::string NewBenchTag(const char *what);

/* A copy of the program in a directory named after the tag (made once),
 * or "" when it could not be made. */
std::string TaggedCopy(const std::string &program, const std::string &tag);
/* Removes the copy and its directory once its process has ended. */
void RemoveTaggedCopy(const std::string &copy);

/* The Unix process id of the Wine process whose command line holds the
 * tag, or 0. */
int FindUnixProcess(const std::string &tag);
/* The Unix process id of this prefix's wineserver, or 0. */
int FindWineServer();

struct UnixCpu {
    bool ok = false;
    uint64_t runNs = 0;     /* time on a CPU of the live threads (schedstat) */
    uint64_t ticks = 0;     /* utime + stime of the whole process, clock ticks */
};
UnixCpu ReadUnixCpu(int pid);

/* VmHWM (peak resident set) and VmRSS in kB, 0 when unknown. */
uint64_t PeakResidentKb(int pid);
uint64_t ResidentKb(int pid);

/* The load average of the machine, as /proc/loadavg has it. */
std::string LoadAverage();

/* Milliseconds from a monotonic clock. */
double NowMs();

} // namespace gv

#endif
