/*
 * notepipe.cpp: the notification pipe.
 *
 * A listener thread accepts clients and hands them over; the pump thread
 * does all the talking, so that no two threads ever use one pipe handle. It
 * polls each client for "ACTIVATE" and "DEACTIVATE" (PeekNamedPipe, which
 * also notices a client that went away) and, at the rate of the options,
 * writes the next notification to every activated client. The numbering
 * only moves on while somebody listens.
 */
#include "notepipe.h"

#include <windows.h>

#include <string.h>

#include "console.h"
#include "textbuf.h"

static const char NotificationPipeName[] = "\\\\.\\pipe\\KPX\\PIPE_stderr";

enum {
    MaxClients = 16,
    OutBufferSize = 65536, /* notify drains it once a second */
    InBufferSize = 4096,
    PollMs = 20
};

struct Client {
    HANDLE pipe;
    int number;
    bool activated;
    uint32_t notifications; /* numbered ones sent to this client */
};

static const SimOptions *simOptions;
static HANDLE waitingInstance = INVALID_HANDLE_VALUE;

/* Connected clients waiting for the pump, under handOverLock. */
static CRITICAL_SECTION handOverLock;
static HANDLE handedOver[MaxClients];
static int handedOverCount;

/* The pump's own. */
static Client clients[MaxClients];
static int clientCount;
static int clientsEver;
static NotificationSchedule schedule;

static HANDLE CreateInstance(bool first)
{
    DWORD openMode = PIPE_ACCESS_DUPLEX | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return CreateNamedPipeA(NotificationPipeName, openMode,
                            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, OutBufferSize, InBufferSize, 0, NULL);
}

static DWORD WINAPI ListenerThread(LPVOID parameter)
{
    (void)parameter;
    for (;;) {
        HANDLE pipe = waitingInstance;
        if (!ConnectNamedPipe(pipe, NULL) && GetLastError() != ERROR_PIPE_CONNECTED) {
            Say("notification pipe: waiting for a client failed (%lu)", GetLastError());
            CloseHandle(pipe);
            return 1;
        }
        waitingInstance = CreateInstance(false);
        EnterCriticalSection(&handOverLock);
        if (handedOverCount < MaxClients)
            handedOver[handedOverCount++] = pipe;
        else
            CloseHandle(pipe);
        LeaveCriticalSection(&handOverLock);
        if (waitingInstance == INVALID_HANDLE_VALUE) {
            Say("notification pipe: no further instance (%lu); no more clients", GetLastError());
            return 1;
        }
    }
}

static void AdoptClients(void)
{
    EnterCriticalSection(&handOverLock);
    for (int i = 0; i < handedOverCount; i++) {
        if (clientCount == MaxClients) {
            CloseHandle(handedOver[i]);
            continue;
        }
        Client *c = &clients[clientCount++];
        c->pipe = handedOver[i];
        c->number = ++clientsEver;
        c->activated = false;
        c->notifications = 0;
        Say("notification client %d connected", c->number);
    }
    handedOverCount = 0;
    LeaveCriticalSection(&handOverLock);
}

/* Closes our end: the client reads a broken pipe, as when a base system
 * goes away. */
static void Drop(int index)
{
    CloseHandle(clients[index].pipe);
    clients[index] = clients[--clientCount];
}

static bool Send(Client *c, int32_t sequence, char kind, const char *text)
{
    char message[NotificationSize];
    FormatNotification(message, sizeof message, sequence, kind, text);
    DWORD written = 0;
    if (!WriteFile(c->pipe, message, (DWORD)strlen(message), &written, NULL))
        return false;
    if (simOptions->verbose)
        Say("    to client %d: %s", c->number, message);
    return true;
}

/* What the client says; false when it has gone. */
static bool Listen(Client *c)
{
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(c->pipe, NULL, 0, NULL, &available, NULL)) {
            Say("notification client %d closed the connection", c->number);
            return false;
        }
        if (available == 0)
            return true;
        char text[InBufferSize + 1];
        DWORD got = 0;
        if (!ReadFile(c->pipe, text, InBufferSize, &got, NULL) && GetLastError() != ERROR_MORE_DATA) {
            Say("notification client %d: read failed (%lu)", c->number, GetLastError());
            return false;
        }
        text[got] = '\0';
        if (strcmp(text, "ACTIVATE") == 0) {
            Say("notification client %d: ACTIVATE", c->number);
            c->activated = true;
            char greeting[NotificationSize];
            ClockText(greeting, sizeof greeting);
            AppendText(greeting, sizeof greeting, " basesim: connection accepted");
            if (!Send(c, 0, StatusKind, greeting))
                return false;
        } else if (strcmp(text, "DEACTIVATE") == 0) {
            Say("notification client %d: DEACTIVATE", c->number);
            c->activated = false;
        } else {
            char escaped[200];
            EscapeBytes(text, got, escaped, sizeof escaped);
            Say("notification client %d sent something unknown: \"%s\"", c->number, escaped);
        }
    }
}

/* The next numbered notification, and a status message when one is due,
 * to every activated client. */
static void Broadcast(void)
{
    bool anyone = false;
    for (int i = 0; i < clientCount; i++)
        anyone = anyone || clients[i].activated;
    if (!anyone)
        return;
    char clock[16];
    ClockText(clock, sizeof clock);
    int32_t sequence = TakeSequence(&schedule, simOptions);
    char text[NotificationSize];
    NotificationText(text, sizeof text, schedule.taken, clock);
    char status[NotificationSize];
    bool statusDue = StatusDue(schedule.taken, simOptions);
    if (statusDue)
        FormatText(status, sizeof status, "%s all stations reporting, %u notifications sent",
                   clock, (unsigned)schedule.taken);

    for (int i = clientCount - 1; i >= 0; i--) {
        Client *c = &clients[i];
        if (!c->activated)
            continue;
        bool ok = Send(c, sequence, LogKind, text) && (!statusDue || Send(c, 0, StatusKind, status));
        if (!ok) {
            Say("notification client %d: write failed (%lu); closing", c->number, GetLastError());
            Drop(i);
            continue;
        }
        c->notifications++;
        if (DropDue(c->notifications, simOptions)) {
            Say("notification client %d: dropping the connection after %u notifications (last %04d)",
                c->number, (unsigned)c->notifications, (int)sequence);
            Drop(i);
        }
    }
}

static DWORD WINAPI PumpThread(LPVOID parameter)
{
    (void)parameter;
    DWORD interval = simOptions->rate > 0 ? 1000u / (DWORD)simOptions->rate : 0;
    DWORD due = GetTickCount();
    for (;;) {
        AdoptClients();
        for (int i = clientCount - 1; i >= 0; i--)
            if (!Listen(&clients[i]))
                Drop(i);
        DWORD now = GetTickCount();
        if (interval > 0 && (int32_t)(now - due) >= 0) {
            Broadcast();
            due += interval;
            if ((int32_t)(now - due) > (int32_t)(10 * interval))
                due = now; /* after a long stall, no burst to catch up */
        }
        Sleep(PollMs);
    }
}

bool StartNotificationPipe(const SimOptions *options)
{
    simOptions = options;
    StartSchedule(&schedule, options);
    InitializeCriticalSection(&handOverLock);
    waitingInstance = CreateInstance(true);
    if (waitingInstance == INVALID_HANDLE_VALUE) {
        Say("cannot create %s (%lu): is another base system or simulator running?",
            NotificationPipeName, GetLastError());
        return false;
    }
    HANDLE listener = CreateThread(NULL, 0, ListenerThread, NULL, 0, NULL);
    HANDLE pump = listener != NULL ? CreateThread(NULL, 0, PumpThread, NULL, 0, NULL) : NULL;
    if (pump == NULL) {
        Say("cannot start the notification pipe's threads (%lu)", GetLastError());
        if (listener != NULL)
            CloseHandle(listener);
        return false;
    }
    CloseHandle(listener);
    CloseHandle(pump);
    return true;
}
