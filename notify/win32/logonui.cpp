/*
 * logonui.cpp: the error box of a refused logon in the notification
 * window's access-denied dialog; the connection thread shows the dialog
 * with its variant and the host's name.
 */
#include "logon.h"
#include "globals.h"

void ReportLogonError(HWND dialog, const char *text)
{
    MessageBoxA(dialog, text, NotifyCaption, MB_ICONHAND);
}
