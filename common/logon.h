/*
 * logon.h: logging on to a base-system computer's IPC$ share when it refuses
 * a pipe, and the access-denied dialog (resource 115) that asks for the
 * credentials. Built into both programs.
 */
#ifndef GV_COMMON_LOGON_H
#define GV_COMMON_LOGON_H

#include <windows.h>

/* Logs on to \\host\IPC$ with the credentials; *error is set in every case
 * (0 on success). */
bool ConnectIpcShare(const char *host, const char *userName, const char *password,
                     DWORD *error);

/* Cancels the connection to \\host\IPC$ (not forced, profile untouched). */
bool DisconnectIpcShare(const char *host, DWORD *error);

/* Dialog procedure of resource 115, in the variant of the program it is
 * built into. */
INT_PTR CALLBACK AccessDeniedDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
