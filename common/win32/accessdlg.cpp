/*
 * accessdlg.cpp: the access-denied dialog of both programs. OK logs on to
 * the host's IPC$ share with the typed credentials; a refusal is reported
 * and the dialog stays for another try. The credentials are wiped as soon
 * as the logon call returns and are never written anywhere; the password
 * field is emptied when the dialog ends.
 */
#include <windows.h>

#include "logon.h"
#include "netcore.h"

/* The request the dialog was created with (WM_INITDIALOG keeps it). */
static const AccessDialogRequest *DialogRequest(HWND dialog)
{
    return (const AccessDialogRequest *)GetWindowLongPtrA(dialog, DWLP_USER);
}

/* Empties the password field before the dialog ends, so that the typed
 * password does not stay in the edit control's memory: the text is first
 * overwritten in place with as many blanks, then removed. */
static void WipePasswordField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, IDC_LOGON_PASSWORD);
    if (field == NULL)
        return;
    char blanks[CredentialSize];
    int length = GetWindowTextLengthA(field);
    if (length >= (int)sizeof blanks)
        length = (int)sizeof blanks - 1;
    if (length > 0) {
        FillMemory(blanks, (SIZE_T)length, ' ');
        blanks[length] = '\0';
        SetWindowTextA(field, blanks);
    }
    SetWindowTextA(field, "");
}

static void EndAccessDialog(HWND dialog, INT_PTR result)
{
    WipePasswordField(dialog);
    EndDialog(dialog, result);
}

static void LogOn(HWND dialog)
{
    const AccessDialogRequest *request = DialogRequest(dialog);
    const AccessDialogVariant &variant = *request->variant;
    HCURSOR replaced = NULL;
    if (variant.waitCursor) {
        HCURSOR wait = LoadCursorA(NULL, (LPCSTR)IDC_WAIT);
        if (wait != NULL)
            replaced = SetCursor(wait);
    }
    if (variant.hideWhileLoggingOn)
        ShowWindow(dialog, SW_HIDE);

    char userName[CredentialSize];
    char password[CredentialSize];
    GetDlgItemTextA(dialog, IDC_LOGON_USER, userName, sizeof userName);
    GetDlgItemTextA(dialog, IDC_LOGON_PASSWORD, password, sizeof password);
    DWORD error;
    bool ok = ConnectIpcShare(request->host, userName, password, &error);
    SecureZeroMemory(password, sizeof password);
    SecureZeroMemory(userName, sizeof userName);

    if (ok) {
        EndAccessDialog(dialog, variant.loggedOn);
    } else {
        char text[256];
        LogonErrorText(error, text, sizeof text);
        ReportLogonError(dialog, text);
        if (variant.hideWhileLoggingOn)
            ShowWindow(dialog, SW_SHOWNORMAL);
    }
    if (replaced != NULL)
        SetCursor(replaced);
}

INT_PTR CALLBACK AccessDeniedDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const AccessDialogRequest *request = DialogRequest(dialog);
        if (request->variant->showsHostName)
            SetDlgItemTextA(dialog, IDC_LOGON_HOST, request->host);
        return TRUE; /* the focus goes to the first tab stop */
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            LogOn(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndAccessDialog(dialog, DialogRequest(dialog)->variant->cancelled);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
