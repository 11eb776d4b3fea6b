/*
 * panedlg.cpp: the pane dialog's procedure, its start-up (window size,
 * first status lines, host labels, events, pipe threads) and its end.
 *
 * Globals: sets paneDialog, creates the three events, reads hostTable and
 * mainWindow.
 */
#include "panedlg.h"

#include <stdlib.h>

#include "faults.h"
#include "globals.h"
#include "hostargs.h"
#include "panes.h"
#include "pipes.h"
#include "resource.h"

static const int HeadingIds[MaxHosts] = {IDC_HEADING_0, IDC_HEADING_1};
static const int HostIds[MaxHosts] = {IDC_HOST_0, IDC_HOST_1};
static const int ClearIds[MaxHosts] = {IDC_CLEAR_0, IDC_CLEAR_1};

void CenterMainWindow(HWND window, HWND dialog)
{
    HWND parent = GetParent(window);
    RECT screen;
    GetWindowRect(parent != NULL ? parent : GetDesktopWindow(), &screen);
    RECT rect;
    GetWindowRect(dialog, &rect);
    AdjustWindowRect(&rect, MainWindowStyle, FALSE);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int left = screen.left + (screen.right - screen.left) / 2 - width / 2;
    int top = screen.top + (screen.bottom - screen.top) / 2 - height / 2;
    /* As the window has always been placed: a dialog wider or taller than
     * the screen gets a negative corner, which is mirrored (abs) rather
     * than set to 0, so the window stays where operators know it. */
    MoveWindow(window, abs(left), abs(top), abs(width), abs(height), TRUE);
}

static void ShowHostLabel(HWND dialog, int index)
{
    const HostEntry *entry = &hostTable.entries[index];
    if (entry->state == HostDisconnected)
        SendDlgItemMessageA(dialog, HostIds[index], WM_SETTEXT, 0, (LPARAM)entry->hostName);
}

void SetHostLabelEnabled(HWND dialog, bool enabled, int host)
{
    EnableWindow(GetDlgItem(dialog, HeadingIds[host]), enabled);
    EnableWindow(GetDlgItem(dialog, HostIds[host]), enabled);
    EnableWindow(GetDlgItem(dialog, hostTable.entries[host].listBoxId), TRUE);
    EnableWindow(GetDlgItem(dialog, ClearIds[host]), TRUE);
}

/* refused: why each pane's name is not used. Such a pane is never
 * connected: it says so in its status line and why in its first line. */
static void InitPanes(HWND dialog, const RefusedName *refused)
{
    CenterMainWindow(mainWindow, dialog);
    for (int index = 0; index < MaxHosts; index++) {
        if (index < hostTable.hostCount && refused[index].reason != NameTaken)
            ShowCancelled(dialog, index);
        else
            ShowConnectStatus(dialog, index, true);
    }
    for (int index = 0; index < hostTable.hostCount && index < MaxHosts; index++) {
        ShowHostLabel(dialog, index);
        SetHostLabelEnabled(dialog, false, index);
        if (refused[index].reason != NameTaken) {
            char text[PaneLineSize];
            FormatRefusedName(text, sizeof text, &refused[index]);
            ReportToPanes(dialog, text, 0, index);
        }
    }
}

void ClosePanes(HWND dialog)
{
    PostMessageA(GetParent(dialog), WM_CLOSE_PANES, 0, 0);
    /* EndDialog on a modeless dialog only hides it, which is what is
     * wanted here: the main window destroys it with itself on
     * WM_CLOSE_PANES, and the dialog takes no more input meanwhile. */
    EndDialog(dialog, 1);
}

static bool CreateNotifyEvents(void)
{
    readerDone = CreateEventA(NULL, TRUE, FALSE, NULL);
    connectorDone = InjectedFault("events") ? NULL : CreateEventA(NULL, TRUE, FALSE, NULL);
    connectWake = CreateEventA(NULL, TRUE, FALSE, NULL);
    return readerDone != NULL && connectorDone != NULL && connectWake != NULL;
}

static BOOL InitPaneDialog(HWND dialog, const RefusedName *refused)
{
    paneDialog = dialog;
    InitPanes(dialog, refused);
    if (!CreateNotifyEvents()) {
        MessageBoxA(dialog, "An event object could not be created.", NotifyCaption, MB_ICONERROR);
        ClosePanes(dialog);
        return FALSE;
    }
    if (!StartPipeThreads(dialog)) {
        MessageBoxA(dialog, "Could not establish a connection to the Gridvane computer.",
                    NotifyCaption, MB_ICONERROR);
        ClosePanes(dialog);
        return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK PaneDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitPaneDialog(dialog, (const RefusedName *)lParam);
    case WM_CLOSE:
        return StartShutdown() ? TRUE : FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CLEAR_0)
            ClearPane(dialog, 0);
        else if (LOWORD(wParam) == IDC_CLEAR_1)
            ClearPane(dialog, 1);
        return FALSE;
    case WM_PANE_LINE:
        CarryOutPaneLine(dialog, (int)wParam, (const char *)lParam);
        return TRUE;
    case WM_PANE_LINES:
        CarryOutPaneBatch(dialog, (const PaneBatch *)lParam);
        return TRUE;
    default:
        return FALSE;
    }
}
