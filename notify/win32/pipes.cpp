/*
 * pipes.cpp: connection, reader and shutdown threads (see pipes.h).
 *
 * Each host has one owner at a time, told by its state: the connection
 * thread while HostDisconnected, the reader while HostConnected. The state
 * is written last when a host changes hands, so the new owner sees
 * everything the old one did. Pane lines go to the window thread.
 *
 * Globals: the threads get hostTable (each entry owned as described above),
 * stopRequested and the three events through one PipeContext, their start
 * parameter, which StartPipeThreads and StartShutdown fill; appInstance for
 * the logon dialog, mainWindow for the shutdown; CloseHostPipes, on the
 * window thread, closes hostTable's pipes.
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

/* What the pipe threads work on, given to each as its start parameter. */
struct PipeContext {
    HWND dialog; /* the pane dialog */
    HostTable *hosts;
    std::atomic<int> *stopRequested;
    HANDLE readerDone;
    HANDLE connectorDone;
    HANDLE connectWake;
};

static PipeContext pipeContext;

/* Window thread: the record for the dialog's threads, filled once, before
 * the first of them starts, and only read after. */
static const PipeContext *ContextFor(HWND dialog)
{
    if (pipeContext.hosts == NULL)
        pipeContext = {dialog, &hostTable, &stopRequested, readerDone, connectorDone, connectWake};
    return &pipeContext;
}

/* A connection event in the host's pane, reported once: a code equal to the
 * last one reported for the host is not reported again. shownCode is the
 * code the line carries (0: none). */
static void ReportOnce(const PipeContext *context, int host, const char *text, DWORD error,
                       DWORD shownCode)
{
    HostEntry *entry = &context->hosts->entries[host];
    if (error == entry->lastError)
        return;
    entry->lastError = error;
    ReportToPanes(context->dialog, text, shownCode, host);
}

/* ---- connection thread ---- */

/* A failed open or mode change: a pipe that is not there means no base
 * system is running, which is said without a code. */
static void ReportOpenError(const PipeContext *context, int host, const char *text, DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND)
        ReportOnce(context, host, TextNoConnection, error, 0);
    else
        ReportOnce(context, host, text, error, error);
}

static INT_PTR RunLogonDialog(const PipeContext *context, int host)
{
    if (InjectedFault("logondialog"))
        return -1;
    AccessDialogRequest request = {&NotifyAccessDialog, context->hosts->entries[host].hostName};
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ACCESS_DENIED), context->dialog,
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
static OpenOutcome HandleOpenFailure(const PipeContext *context, HostEntry *entry, DWORD error,
                                     bool afterLogon, int host)
{
    if (afterLogon) {
        DWORD ignored;
        DisconnectIpcShare(entry->hostName, &ignored);
    }
    if (IsAccessDeniedError(error)) {
        INT_PTR result = RunLogonDialog(context, host);
        if (result == -1) {
            MessageBoxA(context->dialog, "Could not open window.", NotifyCaption, MB_ICONERROR);
            return OpenNoDialog;
        }
        if (result == NotifyLogonCancelled) {
            entry->state = HostIdle;
            entry->pipe = NoPipe;
            return OpenGiveUp;
        }
        return OpenAfterLogon;
    }
    ReportOpenError(context, host, "Could not open the message pipe", error);
    return OpenGiveUp;
}

static bool SetPipeMode(const PipeContext *context, HANDLE pipe, HostEntry *entry, int host)
{
    DWORD mode = PIPE_READMODE_MESSAGE | PIPE_NOWAIT;
    if (SetNamedPipeHandleState(pipe, &mode, NULL, NULL)) {
        entry->pipe = pipe;
        return true;
    }
    ReportOpenError(context, host, "The appropriate mode of the pipe could not be set",
                    GetLastError());
    CloseHandle(pipe);
    entry->state = HostDisconnected;
    entry->pipe = NoPipe;
    return false;
}

/* One attempt to open the host's pipe, with logon dialogs as needed. An
 * attempt whose logon dialog cannot be shown ends, so that the next one
 * follows the usual pause instead of bringing the error back at once. */
static bool ConnectHost(const PipeContext *context, int host)
{
    HostEntry *entry = &context->hosts->entries[host];
    bool afterLogon = false;
    for (;;) {
        /* No flags: the base system's server may read the operator's name
         * and act as the operator, as it may for the monitor pipe. A
         * narrower open (identification only) makes both fail on Windows,
         * and the base system would refuse or mishandle this window. */
        HANDLE pipe = CreateFileA(entry->pipeName, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  OPEN_EXISTING, 0, NULL);
        DWORD error = pipe == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        if (pipe != INVALID_HANDLE_VALUE && entry->wasConnected &&
            InjectedFault(host == 0 ? "reopendenied0" : "reopendenied1")) {
            CloseHandle(pipe);
            pipe = INVALID_HANDLE_VALUE;
            error = ERROR_ACCESS_DENIED;
        }
        if (pipe != INVALID_HANDLE_VALUE)
            return SetPipeMode(context, pipe, entry, host);
        if (HandleOpenFailure(context, entry, error, afterLogon, host) != OpenAfterLogon)
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
static void HandOverHost(const PipeContext *context, int host)
{
    HostEntry *entry = &context->hosts->entries[host];
    SetHostLabelEnabled(context->dialog, true, host);
    ShowConnectStatus(context->dialog, host, false);
    SetReconnectFlag(host);
    DWORD error = 0;
    if (SendActivate(entry->pipe, &error)) {
        entry->lastError = 0;
        ReportToPanes(context->dialog, "A connection to Gridvane has been established.", 0,
                      host);
    } else {
        ReportOnce(context, host, TextNoMessagePassing, error, error);
    }
    entry->state = HostConnected;
}

static DWORD WINAPI ConnectionThread(LPVOID parameter)
{
    const PipeContext *context = (const PipeContext *)parameter;
    while (*context->stopRequested == 0) {
        bool allSettled = true;
        for (int host = 0; host < MaxHosts; host++) {
            HostEntry *entry = &context->hosts->entries[host];
            if (entry->state != HostDisconnected)
                continue;
            if (ConnectHost(context, host)) {
                HandOverHost(context, host);
            } else if (entry->state == HostDisconnected) {
                allSettled = false;
                ShowConnectStatus(context->dialog, host, false);
                ShowConnectStatus(context->dialog, host, true);
            } else {
                ShowCancelled(context->dialog, host);
            }
        }
        if (*context->stopRequested != 0)
            break;
        if (!allSettled) {
            Sleep(ConnectRetryPauseMs);
            continue;
        }
        WaitForSingleObject(context->connectWake, INFINITE);
        if (*context->stopRequested != 0)
            break;
        ResetEvent(context->connectWake);
    }
    SetEvent(context->connectorDone);
    return 0;
}

/* ---- reader thread ---- */

static void ShowMessageRead(const PipeContext *context, int host, char *message)
{
    int32_t sequence = 0;
    char kind = 0;
    if (!ParseMessageHeader(message, &sequence, &kind)) {
        /* Too short for a header: shown as it came. */
        AddHostMessage(context->dialog, message, host, &readerBatch);
        return;
    }
    if (sequence == 0) {
        SendPaneBatch(context->dialog, &readerBatch); /* what came before it first */
        AddStatusMessage(context->dialog, message, host, kind);
        return;
    }
    uint32_t missing = CheckSequence(&context->hosts->entries[host], sequence);
    if (missing != 0)
        ReportLostMessages(context->dialog, missing, host, &readerBatch);
    AddHostMessage(context->dialog, message, host, &readerBatch);
}

/* A read failed: the pipe goes back to the connection thread. */
static void DropConnection(const PipeContext *context, int host, DWORD error)
{
    HostEntry *entry = &context->hosts->entries[host];
    ReportOnce(context, host,
               error == ERROR_BROKEN_PIPE ? "The connection to Gridvane is lost"
                                          : "Failed when reading the message pipe.",
               error, error);
    CloseHandle(entry->pipe);
    entry->pipe = NoPipe;
    entry->lastError = 0;
    entry->lastSequence = -1;
    SetHostLabelEnabled(context->dialog, false, host);
    entry->state = HostDisconnected;
    SetEvent(context->connectWake);
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
static HostTurn ReadHost(const PipeContext *context, int host)
{
    HostEntry *entry = &context->hosts->entries[host];
    int messages = 0;
    HostTurn turn = TurnNoMessage;
    while (*context->stopRequested == 0) {
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
            ShowMessageRead(context, host, messageBuffer);
            continue;
        }
        DWORD error = GetLastError();
        SendPaneBatch(context->dialog, &readerBatch);
        if (error != ERROR_NO_DATA)
            DropConnection(context, host, error);
        break;
    }
    SendPaneBatch(context->dialog, &readerBatch);
    return turn;
}

static DWORD WINAPI ReaderThread(LPVOID parameter)
{
    const PipeContext *context = (const PipeContext *)parameter;
    int host = 0;
    int lastHostWithData = 0;
    /* lastHostWithData's last turn ended at its quota, not at an empty pipe. */
    bool lastHostHasMore = false;
    ClearPaneBatch(&readerBatch);
    for (;;) {
        HostTurn turn = TurnNoMessage;
        if (context->hosts->entries[host].state == HostConnected)
            turn = ReadHost(context, host);
        if (turn != TurnNoMessage)
            lastHostWithData = host;
        if (host == lastHostWithData)
            lastHostHasMore = turn == TurnQuotaUsed;
        host = (host + 1) % MaxHosts;
        if (*context->stopRequested != 0)
            break;
        if (host == lastHostWithData && !lastHostHasMore) {
            /* A full turn without a message. */
            Sleep(ReaderIdlePauseMs);
            if (*context->stopRequested != 0)
                break;
        }
    }
    SetEvent(context->readerDone);
    return 0;
}

bool StartPipeThreads(HWND dialog)
{
    const PipeContext *context = ContextFor(dialog);
    /* Both are created before either runs, so that a failure leaves no
     * thread behind working on the window that is being closed. */
    HANDLE connector = CreateThread(NULL, 0, ConnectionThread, (LPVOID)context,
                                    CREATE_SUSPENDED, NULL);
    if (connector == NULL)
        return false;
    HANDLE reader = InjectedFault("threads")
                        ? NULL
                        : CreateThread(NULL, 0, ReaderThread, (LPVOID)context,
                                       CREATE_SUSPENDED, NULL);
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

static void SendDeactivate(const PipeContext *context)
{
    for (int host = 0; host < MaxHosts; host++) {
        HostEntry *entry = &context->hosts->entries[host];
        if (entry->state != HostConnected)
            continue;
        DWORD error = 0;
        if (!WritePipeMessage(entry->pipe, TextDeactivate, "deactivate", "shortdeactivate",
                              &error))
            ReportOnce(context, host, TextNoMessagePassing, error, error);
    }
    Sleep(DeactivateGraceMs);
}

static DWORD WINAPI ShutdownThread(LPVOID parameter)
{
    const PipeContext *context = (const PipeContext *)parameter;
    ShowWindow(mainWindow, SW_HIDE);
    *context->stopRequested = 1;
    SetEvent(context->connectWake);
    WaitForSingleObject(context->readerDone, INFINITE);
    WaitForSingleObject(context->connectorDone, INFINITE);
    SendDeactivate(context);
    ClosePanes(context->dialog);
    return 0;
}

bool StartShutdown(void)
{
    if (shutdownStarted)
        return true;
    HANDLE thread = InjectedFault("closethread")
                        ? NULL
                        : CreateThread(NULL, 0, ShutdownThread, (LPVOID)ContextFor(paneDialog), 0,
                                       NULL);
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
