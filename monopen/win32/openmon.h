/*
 * openmon.h: the open-monitor sequence, the one decision the opener exists
 * for: ask a base system for the monitor, or start it on this computer.
 */
#ifndef GV_MONOPEN_OPENMON_H
#define GV_MONOPEN_OPENMON_H

#include <windows.h>

#include "options.h"

/* window: the settings dialog, owner of every message. True when the work
 * is done and the opener may close. */
bool OpenMonitor(HWND window, int32_t monitorFromDialog, CommandLineOptions options);

bool FillDefaultMonitor(HWND window, MonitorSettings *settings);
bool FillPredefinedMonitor(HWND window, MonitorSettings *settings, int32_t monitorFromDialog);

#endif
