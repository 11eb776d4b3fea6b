/*
 * monserver.cpp: the stand-in monitor pipe server (see monserver.h).
 */
#include "monserver.h"

namespace gv {

static const char PipeName[] = "\\\\.\\pipe\\KPX\\PIPE_monts";

std::string Bytes(const char *text, size_t length)
{
    return std::string(text, length);
}

MonitorServer::MonitorServer()
{
    InitializeCriticalSection(&lock);
}

MonitorServer::~MonitorServer()
{
    Stop();
    DeleteCriticalSection(&lock);
}

static HANDLE CreateInstance(const MonitorServerScript &script)
{
    DWORD access = (script.inbound ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_DUPLEX) |
                   FILE_FLAG_OVERLAPPED;
    DWORD type = script.byteMode ? PIPE_TYPE_BYTE | PIPE_READMODE_BYTE
                                 : PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE;
    return CreateNamedPipeA(PipeName, access, type | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 65536,
                            65536, 0, NULL);
}

/* Waits for an overlapped operation or the stop event; false when stopped
 * or failed. */
static bool Complete(HANDLE pipe, OVERLAPPED *overlapped, BOOL started, HANDLE stop,
                     DWORD *bytes)
{
    DWORD error = started ? ERROR_SUCCESS : GetLastError();
    if (!started && error != ERROR_IO_PENDING && error != ERROR_MORE_DATA &&
        error != ERROR_PIPE_CONNECTED)
        return false;
    if (!started && error == ERROR_PIPE_CONNECTED)
        return true;
    HANDLE events[2] = {overlapped->hEvent, stop};
    if (!started && error == ERROR_IO_PENDING &&
        WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        CancelIo(pipe);
        return false;
    }
    DWORD got = 0;
    if (!GetOverlappedResult(pipe, overlapped, &got, TRUE) && GetLastError() != ERROR_MORE_DATA)
        return false;
    if (bytes != NULL)
        *bytes = got;
    return true;
}

static DWORD WINAPI Serve(void *parameter)
{
    MonitorServer *server = (MonitorServer *)parameter;
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::vector<char> buffer(8192);
    for (;;) {
        HANDLE pipe = server->pipe;
        ResetEvent(overlapped.hEvent);
        if (!Complete(pipe, &overlapped, ConnectNamedPipe(pipe, &overlapped), server->stopEvent,
                      NULL))
            break;
        EnterCriticalSection(&server->lock);
        server->connections++;
        LeaveCriticalSection(&server->lock);

        if (!server->script.dropAtOnce && !server->script.inbound) {
            /* the request: one message (a request is at most 1023 bytes) */
            std::string request;
            DWORD got = 0;
            ResetEvent(overlapped.hEvent);
            if (Complete(pipe, &overlapped,
                         ReadFile(pipe, buffer.data(), (DWORD)buffer.size(), NULL, &overlapped),
                         server->stopEvent, &got))
                request.assign(buffer.data(), got);
            EnterCriticalSection(&server->lock);
            server->requests.push_back(request);
            LeaveCriticalSection(&server->lock);

            if (!server->script.neverAnswer) {
                for (const std::string &reply : server->script.replies) {
                    ResetEvent(overlapped.hEvent);
                    Complete(pipe, &overlapped,
                             WriteFile(pipe, reply.data(), (DWORD)reply.size(), NULL, &overlapped),
                             server->stopEvent, NULL);
                }
            }
            /* until the client closes its end (or the test stops) */
            for (;;) {
                if (server->script.closeAfterReplies)
                    break;
                ResetEvent(overlapped.hEvent);
                if (!Complete(pipe, &overlapped,
                              ReadFile(pipe, buffer.data(), (DWORD)buffer.size(), NULL,
                                       &overlapped),
                              server->stopEvent, NULL))
                    break;
            }
        }
        /* Closing (not just disconnecting) our end: the client sees a
         * broken pipe (109), as when a base system goes away. */
        CloseHandle(pipe);
        server->pipe = INVALID_HANDLE_VALUE;
        EnterCriticalSection(&server->lock);
        server->closed++;
        LeaveCriticalSection(&server->lock);
        if (WaitForSingleObject(server->stopEvent, 0) == WAIT_OBJECT_0)
            break;
        server->pipe = CreateInstance(server->script);
        if (server->pipe == INVALID_HANDLE_VALUE)
            break;
    }
    CloseHandle(overlapped.hEvent);
    return 0;
}

bool MonitorServer::Start(const MonitorServerScript &s)
{
    script = s;
    pipe = CreateInstance(script);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread = CreateThread(NULL, 0, Serve, this, 0, NULL);
    return thread != NULL;
}

void MonitorServer::Stop()
{
    if (thread != NULL) {
        SetEvent(stopEvent);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        thread = NULL;
    }
    if (stopEvent != NULL) {
        CloseHandle(stopEvent);
        stopEvent = NULL;
    }
    if (pipe != INVALID_HANDLE_VALUE) {
        CloseHandle(pipe);
        pipe = INVALID_HANDLE_VALUE;
    }
}

std::vector<std::string> MonitorServer::Requests()
{
    EnterCriticalSection(&lock);
    std::vector<std::string> copy = requests;
    LeaveCriticalSection(&lock);
    return copy;
}

int MonitorServer::Closed()
{
    EnterCriticalSection(&lock);
    int n = closed;
    LeaveCriticalSection(&lock);
    return n;
}

int MonitorServer::Connections()
{
    EnterCriticalSection(&lock);
    int n = connections;
    LeaveCriticalSection(&lock);
    return n;
}

} // namespace gv
