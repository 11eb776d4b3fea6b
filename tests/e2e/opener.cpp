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

ProgramRun RunOpener(const std::string &arguments, StartOptions options, DWORD timeoutMs)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    return RunToEnd(OpenerPath(), arguments, options, OpenerCaption, timeoutMs);
}

ProgramRun RunProbe(const std::string &arguments, StartOptions options, DWORD timeoutMs)
{
    if (options.currentDir.empty())
        options.currentDir = ExecDir();
    options.captureOutput = true;
    return RunToEnd(BinPath("svcprobe.exe"), arguments, options, OpenerCaption, timeoutMs);
}

} // namespace gv
