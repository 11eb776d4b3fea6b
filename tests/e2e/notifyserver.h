/*
 * notifyserver.h: a stand-in for a base system's notification pipe
 * \\.\pipe\KPX\PIPE_stderr, serving the notification windows under test.
 *
 * While listening it keeps two free instances, so that two panes of one
 * window (two local names share the pipe) can connect one right after the
 * other; every client that connects becomes the next connection number.
 * It records what each client writes ("ACTIVATE", "DEACTIVATE"), sends
 * messages on request, and closes its end of a connection on request,
 * which the client reads as a broken pipe.
 */
#ifndef GV_TESTS_NOTIFYSERVER_H
#define GV_TESTS_NOTIFYSERVER_H

#include "harness.h"

#include <string>
#include <vector>

namespace gv {

/* A notification: four-digit sequence number, a blank, the kind, a blank,
 * the text. */
std::string Notification(int sequence, char kind, const std::string &text);

struct ServedConnection;

struct ReceivedMessage {
    std::string text;
    DWORD tick; /* GetTickCount when it arrived */
};

struct NotifyServer {
    NotifyServer();
    ~NotifyServer();
    NotifyServer(const NotifyServer &) = delete;
    NotifyServer &operator=(const NotifyServer &) = delete;

    /* Begins to accept clients on instances made with these modes (for
     * example PIPE_ACCESS_INBOUND, which read-write clients cannot open, or
     * PIPE_TYPE_BYTE, which refuses message mode). */
    bool Listen(DWORD openMode = PIPE_ACCESS_DUPLEX, DWORD pipeType = PIPE_TYPE_MESSAGE);
    /* No new clients; the connections stay. */
    void StopListening();
    /* Everything closed. */
    void Shutdown();

    int Connections();
    /* GetTickCount when the client connected (0: no such connection). */
    DWORD ConnectedAt(int connection);
    Outcome WaitConnections(int count, DWORD timeoutMs);
    std::vector<ReceivedMessage> Received(int connection);
    /* How often text arrived, on one connection or (-1) on all. */
    int CountReceived(const std::string &text, int connection = -1);
    Outcome WaitReceived(int connection, const std::string &text, int times, DWORD timeoutMs);

    /* One message; false when it could not be written within 10 s. */
    bool Send(int connection, const std::string &message);
    bool SendAll(int connection, const std::vector<std::string> &messages);
    /* Closes the server's end (the client sees ERROR_BROKEN_PIPE). */
    void Close(int connection);

private:
    static DWORD WINAPI ListenThread(LPVOID parameter);
    HANDLE NewInstance(OVERLAPPED *overlapped);
    void Adopt(HANDLE pipe);
    ServedConnection *At(int connection);

    CRITICAL_SECTION lock;
    std::vector<ServedConnection *> connections;
    HANDLE listener = NULL;
    HANDLE listening = NULL; /* set once the first instances exist */
    HANDLE stopListening = NULL;
    DWORD openMode = PIPE_ACCESS_DUPLEX;
    DWORD pipeType = PIPE_TYPE_MESSAGE;
};

} // namespace gv

#endif
