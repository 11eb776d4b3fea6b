/*
 * sysdll.h: DLLs loaded only from Windows' system directory. Built into
 * both programs. Reads and writes the process's DLL search path (once, at
 * the start) and nothing else.
 */
#ifndef GV_COMMON_SYSDLL_H
#define GV_COMMON_SYSDLL_H

#include <windows.h>

/* Takes the program's own directory and the current directory out of the
 * DLL search: only the system directory where kernel32 has
 * SetDefaultDllDirectories, else SetDllDirectoryA(""); nothing on a
 * Windows with neither. Called first in each program's entry. */
void LimitDllSearch(void);

/* Loads NAME (e.g. "mpr.dll") by the full path of the system directory;
 * NULL with *error set to the loader's error code when that fails. */
HMODULE LoadSystemDll(const char *name, DWORD *error);

#endif
