/*
 * pipes.cpp: connection, reader and shutdown threads (see pipes.h).
 *
 * Each host has one owner at a time, told by its state: the connection
 * thread while HostDisconnected, the reader while HostConnected. The state
 * is written last when a host changes hands, so the new owner sees
 * everything the old one did. Pane lines go to the window thread.
 *
 * Globals: hostTable (each entry owned as described above),
 * stopRequested and the three events; appInstance for the logon dialog,
 * mainWindow and paneDialog for the shutdown.
 */
#include "pipes.h"

#include <string.h>

#include "accessvariants.h"
#include "logon.h"
#include "logonids.h"
#include "netcore.h"
#include "faults.h"
#include "globals.h"
#include "message.h"
#include "panedlg.h"
#include "panes.h"
#include "resource.h"
#include "timing.h"

static const char TextNoConnection[] = "Can not establish a connection to Gridvane.";
static const char TextNoMessagePassing[] = "Could not establish the message passing mechanism.";

/* The reader's one buffer: a whole message and the zero after it. */
static char messageBuffer[MessageBufferSize];
/* The lines of the host being drained, not yet sent to its pane. */
static PaneBatch readerBatch;

/* Window thread only. */
static bool shutdownStarted;

/* A connection event in the host's pane, reported once: a code equal to the
 * last one reported for the host is not reported again. shownCode is the
 * code the line carries (0: none). */
static void ReportOnce(HWND dialog, int host, const char *text, DWORD error, DWORD shownCode)
{
    HostEntry *entry = &hostTable.entries[host];
    if (error == entry->lastError)
        return;
    entry->lastError = error;
    ReportToPanes(dialog, text, shownCode, host);
}

/* ---- connection thread ---- */

/* A failed open or mode change: a pipe that is not there means no base
 * system is running, which is said without a code. */
static void ReportOpenError(HWND dialog, int host, const char *text, DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND)
        ReportOnce(dialog, host, TextNoConnection, error, 0);
    else
        ReportOnce(dialog, host, text, error, error);
}

static INT_PTR RunLogonDialog(HWND dialog, int host)
{
    if (InjectedFault("logondialog"))
        return -1;
    AccessDialogRequest request = {&NotifyAccessDialog, hostTable.entries[host].hostName};
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ACCESS_DENIED), dialog,
                           AccessDeniedDialog, (LPARAM)&request);
}

/* What a failed open leads to. */
enum OpenOutcome {
    OpenGiveUp,     /* this attempt ends: reported, or the logon cancelled */
    OpenAfterLogon, /* logged on to the host: open again */
    OpenNoDialog    /* the logon dialog could not be shown: this attempt ends */
};

/* error: the code of the open that failed. afterLogon: that open followed
 * a logon, which is then undone. */
static OpenOutcome HandleOpenFailure(HWND dialog, HostEntry *entry, DWORD error, bool afterLogon,
                                     int host)
{
    if (afterLogon) {
        DWORD ignored;
        DisconnectIpcShare(entry->hostName, &ignored);
    }
    if (IsAccessDeniedError(error)) {
        INT_PTR result = RunLogonDialog(dialog, host);
        if (result == -1) {
            MessageBoxA(dialog, "Could not open window.", NotifyCaption, MB_ICONERROR);
            return OpenNoDialog;
        }
        if (result == NotifyLogonCancelled) {
            entry->state = HostIdle;
            entry->pipe = NoPipe;
            return OpenGiveUp;
        }
        return OpenAfterLogon;
    }
    ReportOpenError(dialog, host, "Could not open the message pipe", error);
    return OpenGiveUp;
}

static bool SetPipeMode(HWND dialog, HANDLE pipe, HostEntry *entry, int host)
{
    DWORD mode = PIPE_READMODE_MESSAGE | PIPE_NOWAIT;
    if (SetNamedPipeHandleState(pipe, &mode, NULL, NULL)) {
        entry->pipe = pipe;
        return true;
    }
    ReportOpenError(dialog, host, "The appropriate mode of the pipe could not be set",
                    GetLastError());
    CloseHandle(pipe);
    entry->state = HostDisconnected;
    entry->pipe = NoPipe;
    return false;
}

/* One attempt to open the host's pipe, with logon dialogs as needed. An
 * attempt whose logon dialog cannot be shown ends, so that the next one
 * follows the usual pause instead of bringing the error back at once. */
static bool ConnectHost(HWND dialog, int host)
{
    HostEntry *entry = &hostTable.entries[host];
    bool afterLogon = false;
    for (;;) {
        /* The pipe's server may identify the operator but not act as them:
         * notify only reads notifications. */
        HANDLE pipe = CreateFileA(entry->pipeName, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                                  NULL);
        DWORD error = pipe == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (pipe != INVALID_HANDLE_VALUE && entry->wasConnected &&
            InjectedFault(host == 0 ? "reopendenied0" : "reopendenied1")) {
            CloseHandle(pipe);
            pipe = INVALID_HANDLE_VALUE;
            error = ERROR_ACCESS_DENIED;
        }
        if (pipe != INVALID_HANDLE_VALUE)
            return SetPipeMode(dialog, pipe, entry, host);
        if (HandleOpenFailure(dialog, entry, error, afterLogon, host) != OpenAfterLogon)
            return false;
        afterLogon = true;
    }
}

/* The announcements, written without their zero. */
static const char TextActivate[] = "ACTIVATE";
static const char TextDeactivate[] = "DEACTIVATE";

/*
 * Writes one announcement on the non-blocking pipe. A write that takes less
 * than the whole announcement is a failure too: with no room in the pipe
 * (a base system that has stopped reading, or one with a small input
 * buffer) WriteFile succeeds having written nothing, and the base system
 * never got the message. Windows has no code of its own for that; it is
 * reported as ERROR_WRITE_FAULT (29, "The system cannot write to the
 * specified device."), which ERROR_NO_DATA (232) of a closing pipe cannot
 * be mistaken for. The test build can make the write fail (fault) or take
 * one byte less than the announcement (shortFault).
 */
static bool WritePipeMessage(HANDLE pipe, const char *text, const char *fault,
                             const char *shortFault, DWORD *error)
{
    if (InjectedFault(fault)) {
        *error = ERROR_NO_DATA;
        return false;
    }
    DWORD length = (DWORD)strlen(text);
    DWORD offered = InjectedFault(shortFault) ? length - 1 : length;
    DWORD written = 0;
    if (!WriteFile(pipe, text, offered, &written, NULL)) {
        *error = GetLastError();
        return false;
    }
    if (written != length) {
        *error = ERROR_WRITE_FAULT;
        return false;
    }
    *error = 0;
    return true;
}

static bool SendActivate(HANDLE pipe, DWORD *error)
{
    return WritePipeMessage(pipe, TextActivate, "activate", "shortactivate", error);
}

/* A freshly opened host: announced, reported, then given to the reader. */
static void HandOverHost(HWND dialog, int host)
{
    HostEntry *entry = &hostTable.entries[host];
    SetHostLabelEnabled(dialog, true, host);
    ShowConnectStatus(dialog, host, false);
    SetReconnectFlag(host);
    DWORD error = 0;
    if (SendActivate(entry->pipe, &error)) {
        entry->lastError = 0;
        ReportToPanes(dialog, "A connection to Gridvane has been established.", 0, host);
    } else {
        ReportOnce(dialog, host, TextNoMessagePassing, error, error);
    }
    entry->state = HostConnected;
}

static DWORD WINAPI ConnectionThread(LPVOID parameter)
{
    HWND dialog = (HWND)parameter;
    while (stopRequested == 0) {
        bool allSettled = true;
        for (int host = 0; host < MaxHosts; host++) {
            HostEntry *entry = &hostTable.entries[host];
            if (entry->state != HostDisconnected)
                continue;
            if (ConnectHost(dialog, host)) {
                HandOverHost(dialog, host);
            } else if (entry->state == HostDisconnected) {
                allSettled = false;
                ShowConnectStatus(dialog, host, false);
                ShowConnectStatus(dialog, host, true);
            } else {
                ShowCancelled(dialog, host);
            }
        }
        if (stopRequested != 0)
            break;
        if (!allSettled) {
            Sleep(ConnectRetryPauseMs);
            continue;
        }
        WaitForSingleObject(connectWake, INFINITE);
        if (stopRequested != 0)
            break;
        ResetEvent(connectWake);
    }
    SetEvent(connectorDone);
    return 0;
}

/* ---- reader thread ---- */

static void ShowMessageRead(HWND dialog, int host, char *message)
{
    int32_t sequence = 0;
    char kind = 0;
    if (!ParseMessageHeader(message, &sequence, &kind)) {
        /* Too short for a header: shown as it came. */
        AddHostMessage(dialog, message, host, &readerBatch);
        return;
    }
    if (sequence == 0) {
        SendPaneBatch(dialog, &readerBatch); /* what came before it first */
        AddStatusMessage(dialog, message, host, kind);
        return;
    }
    uint32_t missing = CheckSequence(&hostTable.entries[host], sequence);
    if (missing != 0)
        ReportLostMessages(dialog, missing, host, &readerBatch);
    AddHostMessage(dialog, message, host, &readerBatch);
}

/* A read failed: the pipe goes back to the connection thread. */
static void DropConnection(HWND dialog, int host, DWORD error)
{
    HostEntry *entry = &hostTable.entries[host];
    ReportOnce(dialog, host,
               error == ERROR_BROKEN_PIPE ? "The connection to Gridvane is lost"
                                          : "Failed when reading the message pipe.",
               error, error);
    CloseHandle(entry->pipe);
    entry->pipe = NoPipe;
    entry->lastError = 0;
    entry->lastSequence = -1;
    SetHostLabelEnabled(dialog, false, host);
    entry->state = HostDisconnected;
    SetEvent(connectWake);
}

/* What one turn on a host found. */
enum HostTurn {
    TurnNoMessage,
    TurnDrained,  /* messages, then nothing more (or the connection lost) */
    TurnQuotaUsed /* MessagesPerTurn messages: more may be waiting */
};

/* A host that writes without pause must not keep the other host's pane
 * empty: each turn reads at most one pane batch of messages. */
static const int MessagesPerTurn = PaneBatchLines;

/* Reads the host until it has nothing more or its turn is used up. The
 * lines go to the pane in batches, the last one when the host has nothing
 * more, before a lost connection is reported, and at the end. */
static HostTurn ReadHost(HWND dialog, int host)
{
    HostEntry *entry = &hostTable.entries[host];
    int messages = 0;
    HostTurn turn = TurnNoMessage;
    while (stopRequested == 0) {
        if (messages == MessagesPerTurn) {
            turn = TurnQuotaUsed;
            break;
        }
        DWORD got = 0;
        if (ReadFile(entry->pipe, messageBuffer, MessageReadSize, &got, NULL)) {
            messageBuffer[got] = '\0';
            messages++;
            turn = TurnDrained;
            entry->lastError = 0;
            ShowMessageRead(dialog, host, messageBuffer);
            continue;
        }
        DWORD error = GetLastError();
        SendPaneBatch(dialog, &readerBatch);
        if (error != ERROR_NO_DATA)
            DropConnection(dialog, host, error);
        break;
    }
    SendPaneBatch(dialog, &readerBatch);
    return turn;
}

static DWORD WINAPI ReaderThread(LPVOID parameter)
{
    HWND dialog = (HWND)parameter;
    int host = 0;
    int lastHostWithData = 0;
    /* lastHostWithData's last turn ended at its quota, not at an empty pipe. */
    bool lastHostHasMore = false;
    ClearPaneBatch(&readerBatch);
    for (;;) {
        HostTurn turn = TurnNoMessage;
        if (hostTable.entries[host].state == HostConnected)
            turn = ReadHost(dialog, host);
        if (turn != TurnNoMessage)
            lastHostWithData = host;
        if (host == lastHostWithData)
            lastHostHasMore = turn == TurnQuotaUsed;
        host = (host + 1) % MaxHosts;
        if (stopRequested != 0)
            break;
        if (host == lastHostWithData && !lastHostHasMore) {
            /* A full turn without a message. */
            Sleep(ReaderIdlePauseMs);
            if (stopRequested != 0)
                break;
        }
    }
    SetEvent(readerDone);
    return 0;
}

bool StartPipeThreads(HWND dialog)
{
    /* Both are created before either runs, so that a failure leaves no
     * thread behind working on the window that is being closed. */
    HANDLE connector = CreateThread(NULL, 0, ConnectionThread, dialog, CREATE_SUSPENDED, NULL);
    if (connector == NULL)
        return false;
    HANDLE reader = InjectedFault("threads")
                        ? NULL
                        : CreateThread(NULL, 0, ReaderThread, dialog, CREATE_SUSPENDED, NULL);
    if (reader == NULL) {
        CloseHandle(connector); /* never resumed: it ends with the process */
        return false;
    }
    ResumeThread(connector);
    ResumeThread(reader);
    CloseHandle(connector);
    CloseHandle(reader);
    return true;
}

/* ---- shutdown ---- */

static void SendDeactivate(HWND dialog)
{
    for (int host = 0; host < MaxHosts; host++) {
        HostEntry *entry = &hostTable.entries[host];
        if (entry->state != HostConnected)
            continue;
        DWORD error = 0;
        if (!WritePipeMessage(entry->pipe, TextDeactivate, "deactivate", "shortdeactivate",
                              &error))
            ReportOnce(dialog, host, TextNoMessagePassing, error, error);
    }
    Sleep(DeactivateGraceMs);
}

static DWORD WINAPI ShutdownThread(LPVOID parameter)
{
    HWND dialog = (HWND)parameter;
    ShowWindow(mainWindow, SW_HIDE);
    stopRequested = 1;
    SetEvent(connectWake);
    WaitForSingleObject(readerDone, INFINITE);
    WaitForSingleObject(connectorDone, INFINITE);
    SendDeactivate(dialog);
    ClosePanes(dialog);
    return 0;
}

bool StartShutdown(void)
{
    if (shutdownStarted)
        return true;
    HANDLE thread = InjectedFault("closethread")
                        ? NULL
                        : CreateThread(NULL, 0, ShutdownThread, paneDialog, 0, NULL);
    if (thread == NULL)
        return false;
    shutdownStarted = true;
    CloseHandle(thread);
    return true;
}

void CloseHostPipes(void)
{
    for (int host = 0; host < MaxHosts; host++) {
        HostEntry *entry = &hostTable.entries[host];
        if (entry->pipe == NoPipe)
            continue;
        CloseHandle(entry->pipe);
        entry->pipe = NoPipe;
        entry->state = HostDisconnected;
    }
}
