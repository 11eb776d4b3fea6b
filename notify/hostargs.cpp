/*
 * hostargs.cpp: computer names from the command line (see hostargs.h).
 *
 * A blank is the space character only: a tab is part of a name.
 */
#include "hostargs.h"

#include <string.h>

#include "../common/textbuf.h"
#include "hosttable.h"

static size_t SkipBlanks(const char *text, size_t p)
{
    while (text[p] == ' ')
        p++;
    return p;
}

static size_t TokenEnd(const char *text, size_t p)
{
    while (text[p] != '\0' && text[p] != ' ')
        p++;
    return p;
}

static size_t SkipProgramName(const char *text)
{
    size_t p = 0;
    if (text[0] == '"') {
        const char *close = strchr(text + 1, '"');
        p = close != NULL ? (size_t)(close - text) + 1 : strlen(text);
    }
    return TokenEnd(text, p);
}

/* Does the name begin with the computer name, ignoring the case of ASCII
 * letters? */
static bool IsLocalName(const char *hostName, const char *computerName)
{
    char computer[HostNameSize];
    char host[HostNameSize];
    CopyText(computer, sizeof computer, computerName);
    CopyText(host, sizeof host, hostName);
    UpperCaseAscii(computer);
    UpperCaseAscii(host);
    return strncmp(host, computer, strlen(computer)) == 0;
}

bool NextHostArgument(ArgumentCursor *cursor, const char *commandLine,
                      const char *computerName, bool useLocalDefault, char *hostName,
                      bool *isLocal)
{
    if (!cursor->started) {
        cursor->started = true;
        cursor->cut = !CopyText(cursor->copy, sizeof cursor->copy, commandLine);
        cursor->position = SkipProgramName(cursor->copy);
    }
    size_t start = SkipBlanks(cursor->copy, cursor->position);
    size_t end = TokenEnd(cursor->copy, start);
    cursor->position = end;
    size_t length = end - start;

    hostName[0] = '\0';
    *isLocal = false;
    if (cursor->cut && cursor->copy[end] == '\0')
        return true; /* whatever stood here was cut off */
    if (length == 0) {
        if (!useLocalDefault || computerName == NULL)
            return false;
        if (!CopyText(hostName, HostNameSize, computerName)) {
            hostName[0] = '\0';
            return false;
        }
        *isLocal = true;
        return true;
    }
    if (length >= HostNameSize)
        return true;
    CopyTextN(hostName, HostNameSize, cursor->copy + start, length);
    if (computerName != NULL)
        *isLocal = IsLocalName(hostName, computerName);
    return true;
}

bool FormatPipeName(const char *hostName, char *pipeName, bool isLocal)
{
    if (hostName[0] == '\0')
        return false;
    return FormatText(pipeName, PipeNameSize, "\\\\%s\\pipe\\KPX\\PIPE_stderr",
                      isLocal ? "." : hostName);
}
