/*
 * process.h: the start of the programs the opener runs (Gv_Start.exe,
 * gvview.exe, GVMSG.EXE), never waited for.
 *
 * Each is started with its full path as the application name and a command
 * line that opens with the same path in double quotes. Without the
 * application name Windows would take the program from the command line,
 * and an unquoted path with blanks ("C:\Program Files\...") is tried piece
 * by piece, so another program ("C:\Program.exe") could be started in its
 * place; the quoted path still gives the program its own name as its first
 * argument, as a program started from a shortcut gets it.
 */
#ifndef GV_MONOPEN_PROCESS_H
#define GV_MONOPEN_PROCESS_H

#include <windows.h>

struct ProgramStart {
    const char *application;
    char *commandLine;     /* CreateProcessA may write into it */
    bool inheritHandles;
    DWORD creationFlags;
    const char *directory; /* NULL: the opener's own */
    char *desktop;         /* NULL: the opener's own */
};

/* Starts the program and closes both of its handles; on failure *error is
 * the code of CreateProcessA (0 = success). */
bool StartProgram(const ProgramStart &start, DWORD *error);

#endif
