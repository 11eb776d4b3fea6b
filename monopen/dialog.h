/*
 * dialog.h: the settings dialog (resource 113), the opener's only visible
 * window.
 */
#ifndef GV_MONOPEN_DIALOG_H
#define GV_MONOPEN_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
