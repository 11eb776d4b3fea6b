/*
 * startcore.cpp: start-up and reporting decisions (see startcore.h).
 */
#include "startcore.h"

#include <string.h>

enum : uint32_t {
    PlatformWin9x = 1, /* VER_PLATFORM_WIN32_WINDOWS */
    MinorWindows95 = 0,
    MinorWindows98 = 10,
    StyleIconHand = 0x10,        /* MB_ICONHAND */
    StyleIconExclamation = 0x30, /* MB_ICONEXCLAMATION */
    StyleLowByte = 0xFF
};
enum : uint16_t {
    EventErrorType = 1,      /* EVENTLOG_ERROR_TYPE */
    EventWarningType = 2,    /* EVENTLOG_WARNING_TYPE */
    EventInformationType = 4 /* EVENTLOG_INFORMATION_TYPE */
};

bool IsWin9xVersion(uint32_t platformId, uint32_t minorVersion)
{
    return platformId == PlatformWin9x &&
           (minorVersion == MinorWindows95 || minorVersion == MinorWindows98);
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
    if ((style & ~StyleIconHand) == 0)
        return EventErrorType;
    if (style <= StyleLowByte && (style & ~StyleIconExclamation) == 0)
        return EventWarningType;
    return EventInformationType;
}
