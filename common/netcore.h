/*
 * netcore.h: portable rules of the network side shared by both programs:
 * which pipe-open errors call for a logon, and the IPC$ remote name.
 */
#ifndef GV_COMMON_NETCORE_H
#define GV_COMMON_NETCORE_H

#include <stddef.h>
#include <stdint.h>

enum { RemoteNameSize = 24 };

/* Errors of a pipe open that the access-denied dialog answers: 5, 86 and
 * 1326..1331. */
bool IsAccessDeniedError(uint32_t error);

/* "\\host\IPC$" into a 24-character buffer; false (nothing usable) when
 * the host name is too long for it. */
bool FormIpcRemoteName(const char *host, char *remote, size_t size);

/* The error text of a refused logon: "%s (%lu)." with the bad-password
 * text for 1326, the general one otherwise. */
void LogonErrorText(uint32_t error, char *text, size_t size);

#endif
