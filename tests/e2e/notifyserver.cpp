/*
 * notifyserver.cpp: the stand-in notification pipe (see notifyserver.h).
 * Every handle is overlapped, so that a connection's reader thread can wait
 * for the client while the test writes to it.
 */
#include "notifyserver.h"

#include <stdio.h>

#include "harness.h"

namespace gv {

static const char PipeName[] = "\\\\.\\pipe\\KPX\\PIPE_stderr";
static const DWORD PipeBufferSize = 1 << 20;
static const DWORD WriteTimeoutMs = 10000;
/* After an instance could not be made, before the next try. */
static const DWORD NewInstancePauseMs = 50;

struct ServedConnection {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE thread = NULL;
    HANDLE stop = NULL;
    CRITICAL_SECTION *lock = nullptr;
    std::vector<ReceivedMessage> received;
    DWORD connectedAt = GetTickCount();
    bool closed = false;
};

std::string Notification(int sequence, char kind, const std::string &text)
{
    char header[16];
    snprintf(header, sizeof header, "%04d %c ", sequence, kind);
    return header + text;
}

NotifyServer::NotifyServer()
{
    InitializeCriticalSection(&lock);
}

NotifyServer::~NotifyServer()
{
    Shutdown();
    for (ServedConnection *c : connections)
        delete c;
    DeleteCriticalSection(&lock);
}

HANDLE NotifyServer::NewInstance(OVERLAPPED *overlapped)
{
    DWORD readMode = pipeType == PIPE_TYPE_MESSAGE ? PIPE_READMODE_MESSAGE : PIPE_READMODE_BYTE;
    HANDLE pipe = CreateNamedPipeA(PipeName, openMode | FILE_FLAG_OVERLAPPED,
                                   pipeType | readMode | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                                   PipeBufferSize, PipeBufferSize, 0, NULL);
    if (pipe == INVALID_HANDLE_VALUE) {
        SetEvent(overlapped->hEvent); /* tried again after a pause */
        return pipe;
    }
    ResetEvent(overlapped->hEvent);
    if (!ConnectNamedPipe(pipe, overlapped) && GetLastError() == ERROR_PIPE_CONNECTED)
        SetEvent(overlapped->hEvent);
    return pipe;
}

static DWORD WINAPI ReadClient(LPVOID parameter)
{
    ServedConnection *c = (ServedConnection *)parameter;
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::vector<char> buffer(65536);
    for (;;) {
        ResetEvent(overlapped.hEvent);
        if (!ReadFile(c->pipe, buffer.data(), (DWORD)buffer.size(), NULL, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            break;
        HANDLE waits[2] = {c->stop, overlapped.hEvent};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            CancelIo(c->pipe);
            DWORD ignored;
            GetOverlappedResult(c->pipe, &overlapped, &ignored, TRUE);
            break;
        }
        DWORD got = 0;
        if (!GetOverlappedResult(c->pipe, &overlapped, &got, FALSE))
            break; /* the client went away */
        EnterCriticalSection(c->lock);
        c->received.push_back({std::string(buffer.data(), got), GetTickCount()});
        LeaveCriticalSection(c->lock);
    }
    CloseHandle(overlapped.hEvent);
    return 0;
}

void NotifyServer::Adopt(HANDLE pipe)
{
    ServedConnection *c = new ServedConnection;
    c->pipe = pipe;
    c->lock = &lock;
    c->stop = CreateEventA(NULL, TRUE, FALSE, NULL);
    EnterCriticalSection(&lock);
    connections.push_back(c);
    LeaveCriticalSection(&lock);
    c->thread = CreateThread(NULL, 0, ReadClient, c, 0, NULL);
}

DWORD WINAPI NotifyServer::ListenThread(LPVOID parameter)
{
    NotifyServer *server = (NotifyServer *)parameter;
    OVERLAPPED overlapped[2];
    HANDLE instances[2];
    for (int i = 0; i < 2; i++) {
        ZeroMemory(&overlapped[i], sizeof overlapped[i]);
        overlapped[i].hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
        instances[i] = server->NewInstance(&overlapped[i]);
    }
    SetEvent(server->listening);
    for (;;) {
        HANDLE waits[3] = {server->stopListening, overlapped[0].hEvent, overlapped[1].hEvent};
        DWORD which = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 || which == WAIT_FAILED)
            break;
        int i = (int)(which - WAIT_OBJECT_0 - 1);
        DWORD ignored;
        if (instances[i] != INVALID_HANDLE_VALUE &&
            GetOverlappedResult(instances[i], &overlapped[i], &ignored, FALSE))
            server->Adopt(instances[i]);
        else if (instances[i] != INVALID_HANDLE_VALUE)
            CloseHandle(instances[i]);
        else
            Sleep(NewInstancePauseMs);
        instances[i] = server->NewInstance(&overlapped[i]);
    }
    for (int i = 0; i < 2; i++) {
        if (instances[i] != INVALID_HANDLE_VALUE) {
            CancelIo(instances[i]);
            CloseHandle(instances[i]);
        }
        CloseHandle(overlapped[i].hEvent);
    }
    return 0;
}

bool NotifyServer::Listen(DWORD mode, DWORD type)
{
    StopListening();
    openMode = mode;
    pipeType = type;
    stopListening = CreateEventA(NULL, TRUE, FALSE, NULL);
    listening = CreateEventA(NULL, TRUE, FALSE, NULL);
    listener = CreateThread(NULL, 0, ListenThread, this, 0, NULL);
    /* A program started next must find the pipe: on a loaded machine the
     * listener may run well after this returns. */
    return listener != NULL && WaitForSingleObject(listening, 10000) == WAIT_OBJECT_0;
}

void NotifyServer::StopListening()
{
    if (listener == NULL)
        return;
    SetEvent(stopListening);
    WaitForSingleObject(listener, 10000);
    CloseHandle(listener);
    CloseHandle(stopListening);
    CloseHandle(listening);
    listener = NULL;
    listening = NULL;
    stopListening = NULL;
}

void NotifyServer::Shutdown()
{
    StopListening();
    for (int i = 0; i < Connections(); i++)
        Close(i);
}

int NotifyServer::Connections()
{
    EnterCriticalSection(&lock);
    int count = (int)connections.size();
    LeaveCriticalSection(&lock);
    return count;
}

ServedConnection *NotifyServer::At(int connection)
{
    EnterCriticalSection(&lock);
    ServedConnection *c = connection >= 0 && connection < (int)connections.size()
                              ? connections[connection]
                              : nullptr;
    LeaveCriticalSection(&lock);
    return c;
}

DWORD NotifyServer::ConnectedAt(int connection)
{
    ServedConnection *c = At(connection);
    return c == nullptr ? 0 : c->connectedAt;
}

Outcome NotifyServer::WaitConnections(int count, DWORD timeoutMs)
{
    return WaitFor([&] { return Connections() >= count; }, timeoutMs,
                   std::to_string(count) + " connections", [&] { return Connections(); });
}

std::vector<ReceivedMessage> NotifyServer::Received(int connection)
{
    std::vector<ReceivedMessage> copy;
    ServedConnection *c = At(connection);
    if (c == nullptr)
        return copy;
    EnterCriticalSection(&lock);
    copy = c->received;
    LeaveCriticalSection(&lock);
    return copy;
}

int NotifyServer::CountReceived(const std::string &text, int connection)
{
    int count = 0;
    for (int i = 0; i < Connections(); i++) {
        if (connection != -1 && i != connection)
            continue;
        for (const ReceivedMessage &m : Received(i))
            count += m.text == text;
    }
    return count;
}

Outcome NotifyServer::WaitReceived(int connection, const std::string &text, int times,
                                   DWORD timeoutMs)
{
    return WaitFor([&] { return CountReceived(text, connection) >= times; }, timeoutMs,
                   text + " " + std::to_string(times) + "x on " + std::to_string(connection),
                   [&] { return std::to_string(CountReceived(text, connection)) + "x"; });
}

bool NotifyServer::Send(int connection, const std::string &message)
{
    /* The program sees its open succeed a moment before the listener
     * thread takes the connection on. */
    WaitUntil([&] { return At(connection) != nullptr; }, LoadMarginMs);
    ServedConnection *c = At(connection);
    if (c == nullptr || c->closed)
        return false;
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    bool ok = WriteFile(c->pipe, message.data(), (DWORD)message.size(), NULL, &overlapped) != 0;
    if (!ok && GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(overlapped.hEvent, WriteTimeoutMs) != WAIT_OBJECT_0)
            CancelIo(c->pipe);
        DWORD written = 0;
        ok = GetOverlappedResult(c->pipe, &overlapped, &written, TRUE) &&
             written == message.size();
    }
    CloseHandle(overlapped.hEvent);
    return ok;
}

bool NotifyServer::SendAll(int connection, const std::vector<std::string> &messages)
{
    for (const std::string &m : messages)
        if (!Send(connection, m))
            return false;
    return true;
}

void NotifyServer::Close(int connection)
{
    ServedConnection *c = At(connection);
    if (c == nullptr || c->closed)
        return;
    c->closed = true;
    SetEvent(c->stop);
    WaitForSingleObject(c->thread, 10000);
    CloseHandle(c->thread);
    CloseHandle(c->stop);
    CloseHandle(c->pipe); /* no DisconnectNamedPipe: the client reads a broken pipe */
}

} // namespace gv
