/*
 * report.cpp: message reporting. Interactive runs get a message box; after
 * an accepted -n on the NT family the text becomes an error event of the
 * source "Gridvane", and the service-notification program is started
 * unless its window is already there.
 *
 * Globals: reads commandLineOptions (-n) and isWin9x to choose between a
 * message box and the event log.
 */
#include "report.h"

#include <stdarg.h>
#include <stdio.h>

#include "faults.h"
#include "textbuf.h"
#include "globals.h"
#include "process.h"
#include "service.h"
#include "startcore.h"
#include "servicecore.h"

static const DWORD GridvaneEventId = 0xC0000061;

const char TextNoWindow[] = "Could not open window.";

/* Set while the notification program is being started: the product-path
 * lookup may report through ShowMessage again, which must not start
 * another attempt. */
static bool notifierStarting;

static void StartServiceNotification(HWND owner)
{
    if (FindWindowA(NULL, "Gridvane Service Notification") != NULL)
        return;
    if (notifierStarting)
        return;
    notifierStarting = true;

    char root[GvPathSize];
    char application[GvPathSize];
    char commandLine[GvCommandSize];
    if (GetProductPath(owner, root) &&
        BuildNotifierCommand(root, application, sizeof application, commandLine,
                             sizeof commandLine)) {
        /* It inherits the opener's inheritable handles, as the base
         * system's own tools start it; the opener holds none it would
         * miss. A failed start is not reported: the report that led here
         * is in the event log already. */
        ProgramStart start = {application, commandLine, true, NORMAL_PRIORITY_CLASS, NULL, NULL};
        DWORD error = 0;
        if (!InjectedFailure("notifier", ERROR_FILE_NOT_FOUND))
            StartProgram(start, &error);
    }
    notifierStarting = false;
}

static BOOL ReportToEventLog(HWND owner, WORD eventType, const char *text)
{
    HANDLE source = InjectedFailure("eventsource", RPC_S_SERVER_UNAVAILABLE)
                        ? NULL
                        : RegisterEventSourceA(NULL, "Gridvane");
    if (source == NULL)
        return 0;
    const char *strings[1] = {text};
    if (!InjectedFailure("eventwrite", ERROR_LOG_FILE_FULL) &&
        ReportEventA(source, eventType, 0, GridvaneEventId, NULL, 1, 0, strings, NULL) &&
        eventType != EVENTLOG_INFORMATION_TYPE)
        StartServiceNotification(owner);
    return DeregisterEventSource(source);
}

int ShowMessage(HWND owner, const char *text, const char *caption, UINT style)
{
    if (ReportsToMessageBox(commandLineOptions.interactive, isWin9x))
        return MessageBoxA(owner, text, caption, style);
    return ReportToEventLog(owner, EventTypeForStyle(style), text);
}

void ShowError(HWND owner, const char *text)
{
    ShowMessage(owner, text, OpenerCaption, MB_ICONHAND);
}

void ShowErrorF(HWND owner, const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ShowError(owner, text);
}
