/*
 * globals.h: the opener's process-wide records and values.
 */
#ifndef GV_MONOPEN_GLOBALS_H
#define GV_MONOPEN_GLOBALS_H

#include <windows.h>

#include "options.h"

/* Posted by the settings dialog to the hidden main window when it ends. */
#define WM_CLOSE_OPENER (WM_USER + 1)

extern const char OpenerCaption[]; /* "Gridvane Monitor" */

extern CommandLineOptions commandLineOptions;
extern MonitorSettings monitorSettings;
extern int32_t pictureSizeIndex;
extern bool isWin9x;
extern HINSTANCE appInstance;
extern HWND mainWindow;

#endif
