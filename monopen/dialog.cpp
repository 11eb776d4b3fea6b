/*
 * dialog.cpp: the settings dialog. For now it ends at once; the monitor it
 * would open is chosen by the open-monitor sequence, still to come.
 */
#include "dialog.h"

#include "globals.h"

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (message == WM_INITDIALOG) {
        PostMessageA(GetParent(dialog), WM_CLOSE_OPENER, 0, 0);
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
