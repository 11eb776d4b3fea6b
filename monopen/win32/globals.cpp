/*
 * globals.cpp: the opener's process-wide records, zero-filled at start.
 */
#include "globals.h"

const char OpenerCaption[] = "Gridvane Monitor";

CommandLineOptions commandLineOptions;
MonitorSettings monitorSettings;
int32_t pictureSizeIndex = 1;
bool isWin9x;
HINSTANCE appInstance;
HWND mainWindow;
