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

/* Directory of the service program with a trailing backslash; on failure
 * *error is the code of the step that failed (0 = success). */
bool GetServiceExecDir(HWND owner, char *dir, DWORD *error);

/* "Could not start Gridvane service.": -start_serv did not get the service
 * running. */
extern const char TextServiceNotStarted[];

bool QueryGridvaneService(HWND owner, ServiceState *state);
/* Starts the service through the starter and waits for it to run. False
 * when it does not run in time (reported with TextServiceNotStarted) or
 * could not be started (reported, except for a current directory too long
 * for the starter's path). */
bool StartGridvaneService(HWND owner);

#endif
