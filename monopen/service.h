/*
 * service.h: the local base-system service "Gridvane": where it is
 * installed, whether it runs from this installation, and its start through
 * the starter program. Read-only use of the service control manager.
 */
#ifndef GV_MONOPEN_SERVICE_H
#define GV_MONOPEN_SERVICE_H

#include <windows.h>

enum ServiceState {
    ServiceOtherState = 0,
    ServiceStopped = 1,
    ServiceRunning = 2,
    ServiceRunningElsewhere = 3
};

/* Product root with a trailing backslash into a 260-character buffer.
 * Silent with a null owner. */
bool GetProductPath(HWND owner, char *path);

/* Directory of the service program with a trailing backslash. */
bool GetServiceExecDir(HWND owner, char *dir);

bool QueryGridvaneService(HWND owner, ServiceState *state);
bool StartGridvaneService(HWND owner);
bool WaitForGridvaneService(HWND owner);

#endif
