/*
 * sysdll.cpp: DLLs loaded only from Windows' system directory. Both
 * functions are looked up at run time, so that a Windows without them
 * still starts the programs.
 */
#include "sysdll.h"

#include <string.h>

/* Windows' own headers define it only for Windows 8 and later (MinGW's at
 * every level). */
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFunction)(DWORD flags);
typedef BOOL(WINAPI *SetDllDirectoryFunction)(LPCSTR path);

void LimitDllSearch(void)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == NULL)
        return;
    SetDefaultDllDirectoriesFunction setDefault =
        (SetDefaultDllDirectoriesFunction)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault != NULL && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryFunction setDirectory =
        (SetDllDirectoryFunction)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory != NULL)
        setDirectory("");
}

HMODULE LoadSystemDll(const char *name, DWORD *error)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    HMODULE module = NULL;
    if (length != 0 && length + 1 + strlen(name) < sizeof path) {
        path[length] = '\\';
        strcpy(path + length + 1, name);
        module = LoadLibraryA(path);
    } else if (length != 0) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    }
    *error = module != NULL ? 0 : GetLastError();
    if (module == NULL && *error == 0)
        *error = ERROR_MOD_NOT_FOUND;
    return module;
}
