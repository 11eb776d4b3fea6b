/*
 * exchange.cpp: the monitor pipe exchange. One fresh connection per
 * request: open (with the logon dialog for access errors and the -r
 * retries for others), message mode, one write, two reads, close.
 *
 * Globals: appInstance for the logon dialog. The -r budget is the caller's,
 * spent in place.
 */
#include "exchange.h"

#include "accessvariants.h"
#include "logon.h"
#include "logonids.h"
#include "netcore.h"
#include "globals.h"
#include "report.h"
#include "request.h"
#include "resource.h"
#include "timing.h"


static const char TextNoConnection[] =
    "Could not establish a connection to the Gridvane base system computer";

bool PrepareXDisplay(HWND owner, const char *server, const MonitorSettings *settings)
{
    (void)owner;
    (void)settings;
    /* Seen by a debugger (and in Wine's debug output) only. */
    char trace[64];
    wsprintfA(trace, "PrepareXDisplay %s\n", server);
    OutputDebugStringA(trace);
    return true;
}

/* Opens the pipe; INVALID_HANDLE_VALUE after the failure was reported or
 * the user cancelled the logon. */
static HANDLE OpenMonitorPipe(HWND owner, const char *host, const char *pipeName,
                              bool retryGiven, int32_t *retries)
{
    bool loggedOn = false;
    for (;;) {
        HANDLE pipe = CreateFileA(pipeName, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                  0, NULL);
        if (pipe != INVALID_HANDLE_VALUE)
            return pipe;
        DWORD error = GetLastError();
        if (loggedOn) {
            /* the logon did not open the pipe: it goes again */
            DWORD ignored;
            DisconnectIpcShare(host, &ignored);
            loggedOn = false;
        }
        switch (NextOpenStep(error, retryGiven, retries)) {
        case OpenAskForLogon: {
            AccessDialogRequest request = {&OpenerAccessDialog, host};
            INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ACCESS_DENIED),
                                             owner, AccessDeniedDialog, (LPARAM)&request);
            if (result == -1) {
                ShowError(owner, TextNoWindow);
                return INVALID_HANDLE_VALUE;
            }
            if (result != OpenerLoggedOn)
                return INVALID_HANDLE_VALUE; /* cancelled: no message */
            loggedOn = true;
            break; /* open again at once */
        }
        case OpenAfterPause:
            Sleep(OpenRetryPauseMs);
            break;
        case OpenGiveUp:
            ShowErrorF(owner, "%s (%lu).", TextNoConnection, error);
            return INVALID_HANDLE_VALUE;
        }
    }
}

/* One reply into a buffer with room for its terminating NUL. */
static bool ReadReply(HANDLE pipe, char *reply, DWORD *error)
{
    DWORD got = 0;
    if (!ReadFile(pipe, reply, ReplyLimit, &got, NULL)) {
        *error = GetLastError();
        reply[0] = '\0';
        return false;
    }
    reply[got] = '\0';
    *error = 0;
    return true;
}

bool ExchangeMonitorRequest(HWND owner, char *node, const char *request, int32_t length,
                            const MonitorSettings *settings, bool retryGiven, int32_t *retries)
{
    const char *host = TrimNodeName(node);
    if (host[0] == '\0')
        host = ".";
    char pipeName[MonitorPipeNameSize];
    if (!FormatMonitorPipeName(host, pipeName, sizeof pipeName)) {
        ShowErrorF(owner, "%s (%lu).", TextNoConnection, (unsigned long)ERROR_BAD_PATHNAME);
        return false;
    }
    HANDLE pipe = OpenMonitorPipe(owner, host, pipeName, retryGiven, retries);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;

    DWORD mode = PIPE_READMODE_MESSAGE;
    if (!SetNamedPipeHandleState(pipe, &mode, NULL, NULL))
        ShowErrorF(owner, "%s (%lu).",
                   "Could not set the appropriate communication mode. Trying to continue ...",
                   GetLastError());

    DWORD written;
    if (!WriteFile(pipe, request, (DWORD)length, &written, NULL)) {
        ShowErrorF(owner, "%s (%lu).", "Could not deliver the data to Gridvane", GetLastError());
        CloseHandle(pipe);
        return false;
    }

    char reply[ReplyLimit + 1];
    DWORD error;
    ReplyAction action;
    bool readOk = ReadReply(pipe, reply, &error);
    AfterFirstReply(readOk, reply, error, &action);
    if (action.message[0] != '\0')
        ShowError(owner, action.message);
    bool result = action.result;
    if (action.runXDisplayHook)
        result = PrepareXDisplay(owner, "exceed", settings);
    if (action.readSecond) {
        readOk = ReadReply(pipe, reply, &error);
        AfterSecondReply(result, readOk, reply, error, &action);
        if (action.message[0] != '\0')
            ShowError(owner, action.message);
        result = action.result;
    }
    CloseHandle(pipe);
    return result;
}
