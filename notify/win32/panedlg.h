/*
 * panedlg.h: the pane dialog (101 with two panes, 103 with one), a modeless
 * child that fills the main window, and the main window's sizing.
 */
#ifndef GV_NOTIFY_PANEDLG_H
#define GV_NOTIFY_PANEDLG_H

#include <windows.h>

INT_PTR CALLBACK PaneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* "Messages from:" and the host name, grey while the host is not
 * connected; the list box and the Clear button stay usable. */
void SetHostLabelEnabled(HWND dialog, bool enabled, int host);

/* Ends the panes: the main window destroys itself and the program ends. */
void ClosePanes(HWND dialog);

/* Sizes the main window to the dialog and centres it on the screen. */
void CenterMainWindow(HWND window, HWND dialog);

#endif
