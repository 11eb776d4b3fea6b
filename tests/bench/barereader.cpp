/*
 * barereader.cpp: the fastest plain reader of a notification pipe, the
 * yardstick of the notification window's throughput. It opens the local
 * pipe as the window does (non-blocking message reads), says "ACTIVATE",
 * reads the given number of messages into one buffer of the window's size
 * and answers "DONE" on the pipe. A read that finds nothing waits 1 ms, or
 * PAUSE ms when given: with 1000 it keeps the window's pace, which pauses a
 * second after a turn without a message. After the first message it says
 * "FIRST", so that the time from there can be measured.
 *
 *   bare_reader.exe COUNT [PAUSE]
 */
#include <windows.h>

#include <stdlib.h>

static char buffer[65568];

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char *rest = commandLine;
    long wanted = strtol(commandLine, &rest, 10);
    long pause = strtol(rest, NULL, 10);
    if (pause <= 0)
        pause = 1;
    HANDLE pipe = CreateFileA("\\\\.\\pipe\\KPX\\PIPE_stderr", GENERIC_READ | GENERIC_WRITE, 0,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (pipe == INVALID_HANDLE_VALUE)
        return 2;
    DWORD mode = PIPE_READMODE_MESSAGE | PIPE_NOWAIT;
    DWORD written = 0;
    if (!SetNamedPipeHandleState(pipe, &mode, NULL, NULL) ||
        !WriteFile(pipe, "ACTIVATE", 8, &written, NULL)) {
        CloseHandle(pipe);
        return 3;
    }
    long got = 0;
    while (got < wanted) {
        DWORD n = 0;
        if (ReadFile(pipe, buffer, sizeof buffer - 1, &n, NULL)) {
            buffer[n] = '\0';
            if (++got == 1)
                WriteFile(pipe, "FIRST", 5, &written, NULL);
        } else if (GetLastError() == ERROR_NO_DATA) {
            Sleep((DWORD)pause);
        } else {
            break;
        }
    }
    int code = got == wanted ? 0 : 4;
    WriteFile(pipe, "DONE", 4, &written, NULL);
    /* Until the server has the answer: it closes its end. */
    DWORD empty = PIPE_READMODE_MESSAGE | PIPE_WAIT;
    SetNamedPipeHandleState(pipe, &empty, NULL, NULL);
    DWORD n = 0;
    ReadFile(pipe, buffer, sizeof buffer - 1, &n, NULL);
    CloseHandle(pipe);
    return code;
}
