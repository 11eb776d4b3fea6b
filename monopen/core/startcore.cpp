/*
 * startcore.cpp: start-up and reporting decisions (see startcore.h).
 */
#include "startcore.h"

#include <string.h>

bool IsWin9xVersion(uint32_t platformId, uint32_t minorVersion)
{
    return platformId == 1 && (minorVersion == 0 || minorVersion == 10);
}

const char *CheckLoggedOnUser(bool nameRead, const char *userName)
{
    if (!nameRead)
        return "Could not retrive the name of the logged on user.";
    if (strcmp(userName, "Gridvane") == 0)
        return "The Gridvane user is not allowed to open a monitor.";
    return NULL;
}

bool ReportsToMessageBox(bool interactive, bool isWin9x)
{
    return interactive || isWin9x;
}

uint16_t EventTypeForStyle(uint32_t style)
{
    if ((style & ~0x10u) == 0)
        return 1; /* EVENTLOG_ERROR_TYPE */
    if (style <= 0xFF && (style & ~0x30u) == 0)
        return 2; /* EVENTLOG_WARNING_TYPE */
    return 4;     /* EVENTLOG_INFORMATION_TYPE */
}
