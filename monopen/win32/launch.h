/*
 * launch.h: starting the monitor program gvview.exe on this computer, as the
 * logged-on user, on the interactive desktop, after making sure the user may
 * use the window station and the desktop.
 */
#ifndef GV_MONOPEN_LAUNCH_H
#define GV_MONOPEN_LAUNCH_H

#include <windows.h>

#include <stdint.h>

/* Starts gvview.exe for a VS Local monitor (type 0) with the property list
 * as its monitor variables. */
bool LaunchMonitor(int32_t monitorType, char *propertyList, HWND owner);

/* "Invalid command line parameter used for this monitor type!": a start
 * option with a monitor that cannot be started here. */
extern const char TextInvalidForType[];

bool CheckUserObjectAccess(bool *found, DWORD *error, bool desktop, const char *userName);
bool GrantUserObjectAccess(DWORD *error, bool desktop, const char *userName);

#endif
