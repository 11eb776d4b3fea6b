/*
 * logonui.cpp: the opener's side of the access-denied dialog: its variant,
 * the computer it logs on to, and where a refusal is reported.
 *
 * Globals: reads the node name in monitorSettings.
 */
#include "accessvariants.h"
#include "logon.h"
#include "globals.h"
#include "report.h"

const AccessDialogVariant *const accessDialogVariant = &OpenerAccessDialog;

/* The node the exchange is talking to: the node name of the settings
 * without the blanks in front, "." for this computer or an empty name,
 * as in the pipe path. */
const char *AccessDialogHost(LPARAM parameter)
{
    (void)parameter;
    const char *node = monitorSettings.nodeName;
    while (*node == ' ')
        node++;
    return node[0] != '\0' ? node : ".";
}

void ReportLogonError(HWND dialog, const char *text)
{
    ShowError(dialog, text);
}
