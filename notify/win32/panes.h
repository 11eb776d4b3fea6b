/*
 * panes.h: what the notification window writes into its panes: message
 * lines and its own "[notify]" report lines in the list box, the status
 * line in the combo box, and the error box of a line that could not be
 * shown.
 *
 * The list box work runs on the window thread: the functions that add a
 * line may be called from any thread and send the finished line to the
 * pane dialog (WM_PANE_LINE), which adds it with AddPaneLine. The reader
 * collects the lines of a host it drains in a batch and sends them together
 * (WM_PANE_LINES): the list box is redrawn once per batch, not once per
 * line, which under a flood is what decides how fast the pane keeps up.
 * The status functions act on the combo box through window messages.
 */
#ifndef GV_NOTIFY_PANES_H
#define GV_NOTIFY_PANES_H

#include <windows.h>

#include <stdint.h>

#include "panecore.h"

/* Window thread only: appends a line to the host's list box, pruning a full
 * pane first and keeping the horizontal scroll range. */
void AddPaneLine(HWND dialog, int host, const char *text);
/* Window thread only: WM_PANE_LINE, a line for a pane that still takes lines. */
void CarryOutPaneLine(HWND dialog, int host, const char *text);
/* Window thread only: WM_PANE_LINES, the lines of a batch, as many as the
 * pane takes. */
void CarryOutPaneBatch(HWND dialog, const PaneBatch *batch);

/* Any thread: the batch's lines go to the pane dialog, and the batch is
 * emptied. Nothing happens for an empty batch. */
void SendPaneBatch(HWND dialog, PaneBatch *batch);

/* Any thread: "[notify] text" with " (code)." when the code is not 0. */
void ReportToPanes(HWND dialog, const char *text, DWORD code, int host);
/* With a batch, the line joins it (the batch is sent first when it is
 * full or holds another pane's lines); without one it is sent at once. */
void ReportLostMessages(HWND dialog, uint32_t missing, int host, PaneBatch *batch);
void AddHostMessage(HWND dialog, const char *text, int host, PaneBatch *batch);

/* A message box with the host's name (host -1: without), the code and the
 * advice to restart. */
void ShowErrorBox(HWND owner, const char *text, DWORD code, int host);

/* Window thread: the Clear button. */
void ClearPane(HWND dialog, int host);

/* The status line: with add false it is emptied, with add true the next
 * connecting text is added and shown. */
void ShowConnectStatus(HWND dialog, int host, bool add);
void ShowCancelled(HWND dialog, int host);
/* An unnumbered message of kind 'C' or 'L' joins the status line's list,
 * which keeps the newest StatusMaxMessages; the first one kept is shown.
 * Other kinds: nothing. */
void AddStatusMessage(HWND dialog, const char *text, int host, char kind);
void SetReconnectFlag(int host);

#endif
