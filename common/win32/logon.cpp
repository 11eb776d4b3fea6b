/*
 * logon.cpp: the IPC$ logon of both programs. MPR is not one of the DLLs
 * Windows protects as KnownDLLs, so it is not imported: its two functions
 * are taken from the system directory's copy at their first use. Reads
 * and writes the process-wide record of those two functions.
 */
#include "logon.h"

#include <winnetwk.h>

#include "netcore.h"
#include "sysdll.h"

namespace {

typedef DWORD(APIENTRY *AddConnectionFunction)(LPNETRESOURCEA resource, LPCSTR password,
                                              LPCSTR userName, DWORD flags);
typedef DWORD(APIENTRY *CancelConnectionFunction)(LPCSTR name, DWORD flags, BOOL force);

struct MprFunctions {
    AddConnectionFunction addConnection;
    CancelConnectionFunction cancelConnection;
    DWORD error; /* the loader's error code when either is missing */
};

/* Loaded once, by the first logon or logoff of the process; the DLL stays
 * loaded until the process ends. A function-local static with an
 * initialiser would do the same, but its thread-safe guard brings the
 * threads library in, and with it imports that Windows XP lacks
 * (GetTickCount64): the first caller loads, any other waits for it. */
const MprFunctions &Mpr()
{
    static MprFunctions functions;
    static volatile LONG state; /* 0 not loaded, 1 loading, 2 loaded */
    if (InterlockedCompareExchange(&state, 1, 0) == 0) {
        MprFunctions f = {NULL, NULL, 0};
        HMODULE mpr = LoadSystemDll("mpr.dll", &f.error);
        if (mpr != NULL) {
            f.addConnection = (AddConnectionFunction)GetProcAddress(mpr, "WNetAddConnection2A");
            f.cancelConnection =
                (CancelConnectionFunction)GetProcAddress(mpr, "WNetCancelConnection2A");
            if (f.addConnection == NULL || f.cancelConnection == NULL) {
                f.error = ERROR_PROC_NOT_FOUND;
                f.addConnection = NULL;
                f.cancelConnection = NULL;
            }
        }
        functions = f;
        InterlockedExchange(&state, 2);
    }
    while (state != 2)
        Sleep(0);
    return functions;
}

} // namespace

bool ConnectIpcShare(const char *host, const char *userName, const char *password, DWORD *error)
{
    char remote[RemoteNameSize];
    if (!FormIpcRemoteName(host, remote, sizeof remote)) {
        *error = ERROR_BAD_NETPATH;
        return false;
    }
    const MprFunctions &mpr = Mpr();
    if (mpr.addConnection == NULL) {
        *error = mpr.error;
        return false;
    }
    NETRESOURCEA resource;
    ZeroMemory(&resource, sizeof resource);
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = remote;
    *error = mpr.addConnection(&resource, password, userName, 0);
    return *error == NO_ERROR;
}

bool DisconnectIpcShare(const char *host, DWORD *error)
{
    char remote[RemoteNameSize];
    if (!FormIpcRemoteName(host, remote, sizeof remote)) {
        *error = ERROR_BAD_NETPATH;
        return false;
    }
    const MprFunctions &mpr = Mpr();
    if (mpr.cancelConnection == NULL) {
        *error = mpr.error;
        return false;
    }
    /* WNetCancelConnection2A returns its error code; GetLastError need not hold it */
    *error = mpr.cancelConnection(remote, 0, FALSE);
    return *error == NO_ERROR;
}
