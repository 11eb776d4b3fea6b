/*
 * hostargs.cpp: computer names from the command line (see hostargs.h).
 *
 * Blanks, tokens and the program name are split as in common/core/cmdtext.h.
 */
#include "hostargs.h"

#include <string.h>

#include "cmdtext.h"
#include "netcore.h"
#include "textbuf.h"
#include "hosttable.h"

static void RefuseName(RefusedName *refused, const char *name, size_t length)
{
    refused->reason = length >= HostNameSize ? NameTooLong : NameCutOff;
    refused->length = length;
    size_t shown = RefusedNameShown;
    CopyTextN(refused->given, sizeof refused->given, name, length < shown ? length : shown);
}

bool NextHostArgument(ArgumentCursor *cursor, const char *commandLine,
                      const char *computerName, bool useLocalDefault, char *hostName,
                      bool *isLocal, RefusedName *refused)
{
    if (!cursor->started) {
        cursor->started = true;
        cursor->base = (size_t)(SkipProgramName(commandLine) - commandLine);
        cursor->cut = !CopyText(cursor->copy, sizeof cursor->copy, commandLine + cursor->base);
        cursor->position = 0;
    }
    /* The names are found in the whole rest of the command line, so that
     * one cut by the copy can be told from one that fits it exactly and
     * trailing blanks from a name; only what the copy holds is taken. */
    const char *rest = commandLine + cursor->base;
    size_t start = (size_t)(SkipBlanks(rest + cursor->position) - rest);
    size_t end = (size_t)(TokenEnd(rest + start) - rest);
    cursor->position = end;
    size_t length = end - start;

    hostName[0] = '\0';
    *isLocal = false;
    refused->reason = NameTaken;
    refused->length = 0;
    refused->given[0] = '\0';
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
    size_t copied = strlen(cursor->copy);
    if (length >= HostNameSize || end > copied) {
        RefuseName(refused, rest + start, length);
        return true;
    }
    CopyTextN(hostName, HostNameSize, cursor->copy + start, length);
    if (computerName != NULL)
        *isLocal = NameIsThisComputer(hostName, computerName);
    return true;
}

void FormatRefusedName(char *text, size_t size, const RefusedName *refused)
{
    const char *why = refused->reason == NameTooLong
                          ? "a computer name has at most 15 characters."
                          : "it was cut off by the length of the command line.";
    if (refused->length > RefusedNameShown)
        FormatText(text, size, "The computer name \"%s...\" (%lu characters) is not used: %s",
                   refused->given, (unsigned long)refused->length, why);
    else
        FormatText(text, size, "The computer name \"%s\" is not used: %s", refused->given, why);
}

bool FormatPipeName(const char *hostName, char *pipeName, bool isLocal)
{
    if (hostName[0] == '\0')
        return false;
    return FormatBasePipeName(pipeName, PipeNameSize, isLocal ? "." : hostName, "PIPE_stderr");
}
