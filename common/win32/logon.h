/*
 * logon.h: logging on to a base-system computer's IPC$ share when it refuses
 * a pipe, and the access-denied dialog (resource 115) that asks for the
 * credentials. Built into both programs.
 */
#ifndef GV_COMMON_LOGON_H
#define GV_COMMON_LOGON_H

#include <windows.h>

#include "logonids.h"

/* Logs on to \\host\IPC$ with the credentials; *error is set in every case
 * (0 on success). */
bool ConnectIpcShare(const char *host, const char *userName, const char *password,
                     DWORD *error);

/* Cancels the connection to \\host\IPC$ (not forced, profile untouched). */
bool DisconnectIpcShare(const char *host, DWORD *error);

/* How the dialog behaves in one program (see accessvariants.h). */
struct AccessDialogVariant {
    INT_PTR loggedOn;          /* dialog result after a logon */
    INT_PTR cancelled;         /* dialog result after Cancel, Esc or the close box */
    bool hideWhileLoggingOn;   /* the dialog steps aside during the logon */
    bool waitCursor;           /* the wait cursor shows during the logon */
    bool showsHostName;        /* the read-only field 1027 shows the host */
};

/* One showing of the dialog: a pointer to it is DialogBoxParam's
 * parameter, and the dialog keeps it (DWLP_USER) while it is up. */
struct AccessDialogRequest {
    const AccessDialogVariant *variant;
    const char *host; /* the computer to log on to */
};

/* Supplied by the program the dialog is built into: shows a refused
 * logon's error text, owned by the dialog. */
void ReportLogonError(HWND dialog, const char *text);

/* Dialog procedure of resource 115; lParam of WM_INITDIALOG is the
 * AccessDialogRequest. */
INT_PTR CALLBACK AccessDeniedDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

enum { CredentialSize = 257 };

#endif
