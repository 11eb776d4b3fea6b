/*
 * logonui.cpp: where the opener reports a refused logon in the
 * access-denied dialog; the exchange shows the dialog with its variant and
 * the node it talks to.
 */
#include "logon.h"
#include "report.h"

void ReportLogonError(HWND dialog, const char *text)
{
    ShowError(dialog, text);
}
