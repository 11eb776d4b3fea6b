/*
 * netcore.h: portable rules of the network side shared by both programs:
 * which computer name is this computer, the paths of the base system's
 * pipes, which pipe-open errors call for a logon, and the IPC$ remote name.
 */
#ifndef GV_COMMON_NETCORE_H
#define GV_COMMON_NETCORE_H

#include <stddef.h>
#include <stdint.h>

enum {
    /* A computer name: 15 characters and the terminating zero. */
    ComputerNameSize = 16,
    /* Both programs read this computer's name into 18 characters, two to
     * spare, as the opener always has. */
    ComputerNameBufferSize = 18,
    RemoteNameSize = 24
};

/* Is name this computer? It is when it begins with the computer's name,
 * ignoring the case of ASCII letters: only the computer name's length is
 * compared, so a longer name that begins with it counts as well. */
bool NameIsThisComputer(const char *name, const char *computerName);

/* "\\host\pipe\KPX\pipe" into size bytes; false when it does not fit. */
bool FormatBasePipeName(char *pipeName, size_t size, const char *host, const char *pipe);

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
