/*
 * console.cpp: the simulator's output (see console.h).
 */
#include "console.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

static CRITICAL_SECTION outputLock;

void InitConsole(void)
{
    InitializeCriticalSection(&outputLock);
}

void ClockText(char *text, size_t size)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    snprintf(text, size, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
}

void Say(const char *format, ...)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    EnterCriticalSection(&outputLock);
    printf("%02u:%02u:%02u.%03u %s\n", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
           line);
    fflush(stdout);
    LeaveCriticalSection(&outputLock);
}

void SayLines(const char *lines)
{
    EnterCriticalSection(&outputLock);
    fputs(lines, stdout);
    fflush(stdout);
    LeaveCriticalSection(&outputLock);
}
