/*
 * globals.h: the notification window's process-wide state and the window
 * messages its threads use.
 *
 * No locks: a host entry belongs to the connection thread while it is
 * HostDisconnected and to the reader thread while it is HostConnected; the
 * pane bookkeeping is only touched on the window thread; stopRequested only
 * goes from 0 to 1.
 */
#ifndef GV_NOTIFY_GLOBALS_H
#define GV_NOTIFY_GLOBALS_H

#include <windows.h>

#include <atomic>

#include "hosttable.h"

/* Posted to the main window when the panes are closed: it destroys itself. */
#define WM_CLOSE_PANES (WM_USER + 1)
/* Sent to the pane dialog by any thread: add the line lParam (text) to the
 * pane wParam (host index) unless that pane is frozen. */
#define WM_PANE_LINE (WM_APP + 1)
/* Sent to the pane dialog by the reader: add the lines of the PaneBatch
 * lParam to its pane. */
#define WM_PANE_LINES (WM_APP + 2)

/* Visible, clipping its children, caption, system menu, minimise box: no
 * maximise box and no sizing border (0x12CA0000). */
static const DWORD MainWindowStyle =
    WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

extern const char NotifyCaption[]; /* "Notification Window" */

extern HostTable hostTable;
extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HWND paneDialog;
extern std::atomic<int> stopRequested;
extern HANDLE readerDone;
extern HANDLE connectorDone;
extern HANDLE connectWake;

#endif
