/*
 * cmdline.h: the opener's command line, read and reported.
 */
#ifndef GV_MONOPEN_CMDLINE_H
#define GV_MONOPEN_CMDLINE_H

#include <windows.h>

/* Fills commandLineOptions, pictureSizeIndex and the font strings of
 * monitorSettings from GetCommandLineA(); reports the first error. */
bool ParseCommandLine(HWND window);

#endif
