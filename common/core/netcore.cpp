/*
 * netcore.cpp: portable network rules (see netcore.h).
 */
#include "netcore.h"

#include "errorcodes.h"
#include "textbuf.h"

bool NameIsThisComputer(const char *name, const char *computerName)
{
    return StartsWithIgnoringCase(name, computerName);
}

bool FormatBasePipeName(char *pipeName, size_t size, const char *host, const char *pipe)
{
    return FormatText(pipeName, size, "\\\\%s\\pipe\\KPX\\%s", host, pipe);
}

bool IsAccessDeniedError(uint32_t error)
{
    /* the logon failures run from 1326 to 1331 */
    return error == CodeAccessDenied || error == CodeInvalidPassword ||
           (error >= CodeLogonFailure && error <= CodeAccountDisabled);
}

bool FormIpcRemoteName(const char *host, char *remote, size_t size)
{
    if (FormatText(remote, size, "\\\\%s\\%s", host, "IPC$"))
        return true;
    if (size > 0)
        remote[0] = '\0';
    return false;
}

void LogonErrorText(uint32_t error, char *text, size_t size)
{
    const char *what = error == CodeLogonFailure ? "Unknown user name or bad password."
                                     : "An error occurred when trying to connect to the shared "
                                       "resource";
    FormatText(text, size, "%s (%lu).", what, (unsigned long)error);
}
