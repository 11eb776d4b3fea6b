/*
 * request.cpp: the monitor request text and the reading of the replies (see
 * request.h).
 */
#include "request.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "netcore.h"
#include "textbuf.h"

const char DefaultLocalFont[] = "family:MS Sans Serif-size:8-face:medium";
const char DefaultRemoteFont[] = "family:Helvetica-size:12-face:medium";

namespace {

/* Length of a text field, never past its declared size. */
int FieldLength(const char *field, size_t size)
{
    size_t n = 0;
    while (n + 1 < size && field[n] != '\0')
        n++;
    return (int)n;
}

/* Appends one formatted string and its NUL behind the strings already
 * written. One byte at the end of the buffer always stays zero: the empty
 * string that ends the list. A string that does not fit is cut. */
struct RequestWriter {
    char *buffer;
    int32_t length;
};

void Put(RequestWriter *w, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

void Put(RequestWriter *w, const char *format, ...)
{
    int32_t room = RequestBufferSize - 1 - w->length;
    if (room <= 1)
        return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(w->buffer + w->length, (size_t)room, format, args);
    va_end(args);
    if (n < 0)
        return;
    if (n > room - 1)
        n = room - 1;
    w->length += n + 1;
}

} // namespace

void FormatMonitorRequest(const MonitorSettings *s, const CommandLineOptions *o, char *buffer,
                          int32_t *length)
{
    *length = 0;
    RequestWriter w = {buffer, 0};
    if (s->monitorType == MonitorPredefined) {
        Put(&w, "%s %3u ", "DEF", (unsigned)s->settingNumber);
        *length = w.length;
        return;
    }
    bool windowsNames = s->monitorType == MonitorVsLocal || s->monitorType == MonitorVsRemote;
    const char *head = s->monitorType == MonitorVsLocal    ? VsLocalRequestHead
                       : s->monitorType == MonitorVsRemote ? "RTD RVS "
                                                           : "RTD XMON";
    Put(&w, "%s%s=%u", head,
        windowsNames ? "KPX_MS_WINDOWS_APPLICATION" : "KPX_X_TERMINAL_APPLICATION",
        (unsigned)s->applicationNumber);
    Put(&w, "%s=%u", windowsNames ? "KPX_MS_WINDOWS_MONITOR" : "KPX_X_TERMINAL_MONITOR",
        (unsigned)s->applicationMonitorNumber);
    Put(&w, "%s=%.*s", "KPX_X_TERMINAL_FONT",
        FieldLength(s->terminalFont, sizeof s->terminalFont), s->terminalFont);
    if (s->monitorType == MonitorVsLocal) {
        if (o->localFontGiven)
            Put(&w, "%s=%.*s", "FONT", FieldLength(s->localFont, sizeof s->localFont),
                s->localFont);
        else
            Put(&w, "%s=%s", "FONT", DefaultLocalFont);
    } else if (s->monitorType == MonitorVsRemote) {
        if (o->remoteFontGiven)
            Put(&w, "%s=%.*s", "FONT", FieldLength(s->remoteFont, sizeof s->remoteFont),
                s->remoteFont);
        else
            Put(&w, "%s=%s", "FONT", DefaultRemoteFont);
        Put(&w, "%s=%.*s", "PRINTFILE", FieldLength(s->printer, sizeof s->printer), s->printer);
    }
    if (s->monitorType == MonitorVsLocal)
        Put(&w, "%s=", "DISPLAY");
    else
        Put(&w, "%s=%.*s", "DISPLAY", FieldLength(s->display, sizeof s->display), s->display);
    *length = w.length;
}

char *TrimNodeName(char *node)
{
    while (*node == ' ')
        node++;
    size_t n = strlen(node);
    while (n > 0 && node[n - 1] == ' ')
        n--;
    if (n > 0)
        node[n] = '\0';
    return node;
}

bool FormatMonitorPipeName(const char *node, char *pipeName, size_t size)
{
    return FormatBasePipeName(pipeName, size, node[0] ? node : ".", "PIPE_monts");
}

OpenFailureStep NextOpenStep(uint32_t error, bool retryGiven, int32_t *retryCount)
{
    if (IsAccessDeniedError(error))
        return OpenAskForLogon;
    if (!retryGiven || *retryCount < 0)
        return OpenGiveUp;
    return --*retryCount >= 0 ? OpenAfterPause : OpenGiveUp;
}

void FormatUnknownReply(const char *reply, char *text, size_t size)
{
    static const char lead[] = "The base system responded with an unknown message.";
    /* lead + " (" + reply + ")." must fit with its NUL */
    size_t room = size > sizeof lead + 4 ? size - (sizeof lead - 1) - 4 - 1 : 0;
    size_t n = strlen(reply);
    if (n <= room) {
        FormatText(text, size, "%s (%s).", lead, reply);
    } else {
        int keep = room > 3 ? (int)(room - 3) : 0;
        FormatText(text, size, "%s (%.*s...).", lead, keep, reply);
    }
}

static void ReadFailure(unsigned replyNumber, uint32_t error, ReplyAction *action)
{
    FormatText(action->message, sizeof action->message, "%s %u (%lu).",
               "Could not read data from Gridvane", replyNumber, (unsigned long)error);
}

void AfterFirstReply(bool readOk, const char *reply, uint32_t error, ReplyAction *action)
{
    action->runXDisplayHook = false;
    action->readSecond = false;
    action->result = false;
    action->message[0] = '\0';
    if (!readOk) {
        ReadFailure(1, error, action);
        return;
    }
    action->readSecond = true;
    if (strcmp(reply, "OK_X") == 0)
        action->runXDisplayHook = true;
    else if (strcmp(reply, "OK") != 0)
        FormatUnknownReply(reply, action->message, sizeof action->message);
}

void AfterSecondReply(bool resultSoFar, bool readOk, const char *reply, uint32_t error,
                      ReplyAction *action)
{
    action->runXDisplayHook = false;
    action->readSecond = false;
    action->result = resultSoFar;
    action->message[0] = '\0';
    if (!readOk)
        ReadFailure(2, error, action);
    else if (strcmp(reply, "ERROR") == 0)
        CopyText(action->message, sizeof action->message,
                 "The remote system could not start requested monitor.");
    else if (strcmp(reply, "OK") == 0)
        action->result = true;
    else
        FormatUnknownReply(reply, action->message, sizeof action->message);
}
