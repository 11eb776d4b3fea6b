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

ProgramRun RunProbe(const std::string &arguments, StartOptions options, DWORD timeoutMs)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    options.captureOutput = true;
    return RunToEnd(BinPath("svcprobe.exe"), arguments, options, OpenerCaption, timeoutMs);
}

} // namespace gv
