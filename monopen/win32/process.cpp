/*
 * process.cpp: the start of the opener's child programs (see process.h).
 */
#include "process.h"

bool StartProgram(const ProgramStart &start, DWORD *error)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.lpDesktop = start.desktop;
    PROCESS_INFORMATION process;
    if (CreateProcessA(start.application, start.commandLine, NULL, NULL,
                        start.inheritHandles ? TRUE : FALSE, start.creationFlags, NULL,
                        start.directory, &startup, &process) == 0) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *error = 0;
    return true;
}
