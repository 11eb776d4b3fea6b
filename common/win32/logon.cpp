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

typedef DWORD(APIENTRY *AddConnectionFunction)(LPNETRESOURCEA resource, LPCSTR password,
                                              LPCSTR userName, DWORD flags);
typedef DWORD(APIENTRY *CancelConnectionFunction)(LPCSTR name, DWORD flags, BOOL force);

struct MprFunctions {
    bool looked; /* the load was tried */
    AddConnectionFunction addConnection;
    CancelConnectionFunction cancelConnection;
    DWORD error; /* the loader's error code when either is missing */
};

static MprFunctions mprFunctions;

/* Loaded once, by the first logon or logoff of the process; the DLL stays
 * loaded until the process ends. Both programs log on and off from one
 * thread only (monopen's only thread, notify's connection thread). */
static const MprFunctions &Mpr(void)
{
    MprFunctions &f = mprFunctions;
    if (f.looked)
        return f;
    f.looked = true;
    HMODULE mpr = LoadSystemDll("mpr.dll", &f.error);
    if (mpr == NULL)
        return f;
    f.addConnection = (AddConnectionFunction)GetProcAddress(mpr, "WNetAddConnection2A");
    f.cancelConnection = (CancelConnectionFunction)GetProcAddress(mpr, "WNetCancelConnection2A");
    if (f.addConnection == NULL || f.cancelConnection == NULL) {
        f.error = ERROR_PROC_NOT_FOUND;
        f.addConnection = NULL;
        f.cancelConnection = NULL;
    }
    return f;
}

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
    *error = mpr.cancelConnection(remote, 0, FALSE) != NO_ERROR ? GetLastError() : 0;
    return *error == 0;
}
