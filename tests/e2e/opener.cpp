/*
 * opener.cpp: monopen.exe and svcprobe.exe run to their end (see opener.h).
 */
#include "opener.h"

#include "basesys.h"

namespace gv {

const char OpenerCaption[] = "Gridvane Monitor";

std::string OpenerPath()
{
    return ShippedPath("monopen.exe");
}

ProgramRun RunOpener(const std::string &arguments, StartOptions options, DWORD timeoutMs,
                     const std::string &exe)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    return RunToEnd(exe, arguments, options, OpenerCaption, timeoutMs);
}

Outcome StartOpener(Child &child, const std::string &arguments, StartOptions options)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    return Start(child, OpenerPath(), arguments, options);
}

ProgramRun RunOpenerWithFaults(const std::string &arguments, const std::string &faults,
                               StartOptions options)
{
    options.env.push_back("GV_MONOPEN_FAULTS=" + faults);
    return RunOpener(arguments, options, 20000, BinPath("monopen_faults.exe"));
}

int OutputCount(const ProgramRun &run, const std::string &text)
{
    int count = 0;
    for (size_t at = run.output.find(text); at != std::string::npos;
         at = run.output.find(text, at + 1))
        count++;
    return count;
}

int FaultCount(const ProgramRun &run, const std::string &point)
{
    return OutputCount(run, "fault: " + point + "\\n"); /* the line end as Wine shows it */
}

ProgramRun RunProbe(const std::string &arguments, StartOptions options, DWORD timeoutMs)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    options.captureOutput = true;
    return RunToEnd(BinPath("svcprobe.exe"), arguments, options, OpenerCaption, timeoutMs);
}

} // namespace gv
