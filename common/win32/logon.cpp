/*
 * logon.cpp: the IPC$ logon of both programs.
 */
#include "logon.h"

#include <winnetwk.h>

#include "netcore.h"

bool ConnectIpcShare(const char *host, const char *userName, const char *password, DWORD *error)
{
    char remote[RemoteNameSize];
    if (!FormIpcRemoteName(host, remote, sizeof remote)) {
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
    if (!FormIpcRemoteName(host, remote, sizeof remote)) {
        *error = ERROR_BAD_NETPATH;
        return false;
    }
    *error = WNetCancelConnection2A(remote, 0, FALSE) != NO_ERROR ? GetLastError() : 0;
    return *error == 0;
}
