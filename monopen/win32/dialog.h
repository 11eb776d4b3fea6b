/*
 * dialog.h: the settings dialog (resource 113), the opener's only visible
 * window. With -d or -default it opens the monitor while it initialises and
 * ends unseen; otherwise OK opens the monitor chosen in it.
 */
#ifndef GV_MONOPEN_DIALOG_H
#define GV_MONOPEN_DIALOG_H

#include <windows.h>

#include "options.h"

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* Reads the controls into the settings; false when a number had to be
 * brought back into its range (the dialog beeped and shows the new value). */
bool ReadSettingsDialog(HWND dialog, MonitorSettings *settings);

#endif
