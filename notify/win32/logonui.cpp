/*
 * logonui.cpp: the notification window's side of the access-denied dialog:
 * its variant, the host it logs on to (the host table entry given as the
 * dialog's parameter), and the error box of a refused logon.
 *
 * Globals: reads the host's name in hostTable.
 */
#include "accessvariants.h"
#include "logon.h"
#include "globals.h"

const AccessDialogVariant *const accessDialogVariant = &NotifyAccessDialog;

const char *AccessDialogHost(LPARAM parameter)
{
    int host = (int)parameter;
    return host == 1 ? hostTable.entries[1].hostName : hostTable.entries[0].hostName;
}

void ReportLogonError(HWND dialog, const char *text)
{
    MessageBoxA(dialog, text, NotifyCaption, MB_ICONHAND);
}
