/*
 * covdump.cpp: built into each program of the coverage build only
 * (GV_COVERAGE, see cmake/coverage.cmake and scripts/coverage); the
 * delivered programs never contain it.
 *
 * gcc's coverage counts are written when a program ends by returning from
 * its entry point. A program that a test ends with TerminateProcess writes
 * nothing, so a thread waits on the event "gv-coverage-dump-PID": set, it
 * writes the counts so far, starts counting afresh (an end of the program's
 * own afterwards adds the rest) and sets "gv-coverage-done-PID"
 * (tests/e2e/harness.cpp waits for it, bounded, before it ends a program).
 *
 * When GV_COVERAGE_RUNS names a folder, each run leaves a file there with a
 * line "start PROGRAM", then "dump" when asked for its counts and "exit"
 * when it ended by itself: scripts/coverage counts the runs that wrote no
 * counts at all.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" void __gcov_dump(void);
extern "C" void __gcov_reset(void);

static HANDLE g_askEvent;
static HANDLE g_doneEvent;
static HANDLE g_runFile = INVALID_HANDLE_VALUE;

static void NoteRun(const char *line)
{
    if (g_runFile == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(g_runFile, line, (DWORD)strlen(line), &written, NULL);
}

static void OpenRunFile(void)
{
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("GV_COVERAGE_RUNS", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return;
    char program[MAX_PATH];
    n = GetModuleFileNameA(NULL, program, sizeof program);
    if (n == 0 || n >= sizeof program)
        return;
    const char *base = strrchr(program, '\\');
    base = base != NULL ? base + 1 : program;
    char path[2 * MAX_PATH];
    snprintf(path, sizeof path, "%s\\%lu-%lu.run", folder, (unsigned long)GetCurrentProcessId(),
             (unsigned long)GetTickCount());
    g_runFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, 0, NULL);
    char line[MAX_PATH + 16];
    snprintf(line, sizeof line, "start %s\n", base);
    NoteRun(line);
}

static void NoteExit(void)
{
    NoteRun("exit\n");
}

static DWORD WINAPI WriteCountsWhenAsked(void *)
{
    if (WaitForSingleObject(g_askEvent, INFINITE) == WAIT_OBJECT_0) {
        __gcov_dump();
        __gcov_reset();
        NoteRun("dump\n");
        SetEvent(g_doneEvent);
    }
    return 0;
}

__attribute__((constructor)) static void StartCoverageDumper(void)
{
    OpenRunFile();
    atexit(NoteExit);
    char name[64];
    snprintf(name, sizeof name, "gv-coverage-dump-%lu", (unsigned long)GetCurrentProcessId());
    g_askEvent = CreateEventA(NULL, FALSE, FALSE, name);
    snprintf(name, sizeof name, "gv-coverage-done-%lu", (unsigned long)GetCurrentProcessId());
    g_doneEvent = CreateEventA(NULL, TRUE, FALSE, name);
    if (g_askEvent == NULL || g_doneEvent == NULL)
        return;
    HANDLE thread = CreateThread(NULL, 0, WriteCountsWhenAsked, NULL, 0, NULL);
    if (thread != NULL)
        CloseHandle(thread);
}
