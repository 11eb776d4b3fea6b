/*
 * openmon.h: the open-monitor sequence, the one decision the opener exists
 * for: ask a base system for the monitor, or start it on this computer.
 */
#ifndef GV_MONOPEN_OPENMON_H
#define GV_MONOPEN_OPENMON_H

#include <windows.h>

#include "options.h"

/* window: the settings dialog, owner of every message. retries: the -r
 * budget, spent in place so that what one exchange spends is gone for the
 * next one of the run. True when the work is done and the opener may close. */
bool OpenMonitor(HWND window, const CommandLineOptions *options, int32_t *retries);

#endif
