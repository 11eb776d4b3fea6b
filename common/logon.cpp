/*
 * logon.cpp: the IPC$ logon of both programs, and (still to come) the
 * access-denied dialog. Until its template exists, DialogBoxParamA of
 * resource 115 fails and the callers report "Could not open window.".
 */
#include "logon.h"

#include <winnetwk.h>

#include "textbuf.h"

enum { RemoteNameSize = 24 };

/* \\host\IPC$; false when the host name does not fit. */
static bool FormRemoteName(const char *host, char *remote)
{
    return FormatText(remote, RemoteNameSize, "\\\\%s\\%s", host, "IPC$");
}

bool ConnectIpcShare(const char *host, const char *userName, const char *password, DWORD *error)
{
    char remote[RemoteNameSize];
    if (!FormRemoteName(host, remote)) {
        *error = ERROR_BAD_NETPATH;
        return false;
    }
    NETRESOURCEA resource;
    ZeroMemory(&resource, sizeof resource);
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = remote;
    *error = WNetAddConnection2A(&resource, password, userName, 0);
    return *error == NO_ERROR;
}

bool DisconnectIpcShare(const char *host, DWORD *error)
{
    char remote[RemoteNameSize];
    if (!FormRemoteName(host, remote)) {
        *error = ERROR_BAD_NETPATH;
        return false;
    }
    *error = WNetCancelConnection2A(remote, 0, FALSE) != NO_ERROR ? GetLastError() : 0;
    return *error == 0;
}

INT_PTR CALLBACK AccessDeniedDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)dialog;
    (void)message;
    (void)wParam;
    (void)lParam;
    return FALSE;
}
