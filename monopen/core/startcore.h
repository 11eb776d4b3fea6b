/*
 * startcore.h: the opener's start-up and reporting decisions, portable so
 * that every branch can be tested without Windows.
 */
#ifndef GV_MONOPEN_STARTCORE_H
#define GV_MONOPEN_STARTCORE_H

#include <stdint.h>

/* Windows 95 (minor 0) or 98 (minor 10) of the 9x platform (id 1). */
bool IsWin9xVersion(uint32_t platformId, uint32_t minorVersion);

/* The logged-on-user check: NULL when the user may open a monitor, else
 * the message to show. nameRead is false when the name could not be read. */
const char *CheckLoggedOnUser(bool nameRead, const char *userName);

/* Message box or event log? */
bool ReportsToMessageBox(bool interactive, bool isWin9x);

/* Event type for a message-box style: 1 error, 2 warning, 4 information. */
uint16_t EventTypeForStyle(uint32_t style);

#endif
