/*
 * monserver.h: a stand-in for a base system's monitor pipe server. Serves
 * \\.\pipe\KPX\PIPE_monts on a thread of the test, records every request
 * byte for byte and answers with the replies the test scripted. Each client
 * gets a fresh pipe instance, closed when the conversation ends.
 */
#ifndef GV_TESTS_MONSERVER_H
#define GV_TESTS_MONSERVER_H

#include <windows.h>

#include <string>
#include <vector>

namespace gv {

struct MonitorServerScript {
    std::vector<std::string> replies = {"OK", "OK"}; /* one pipe message each */
    bool byteMode = false;         /* a byte-type pipe: message mode cannot be set */
    bool inbound = false;          /* PIPE_ACCESS_INBOUND: the client's open fails (5) */
    bool neverAnswer = false;      /* accept the request and say nothing */
    bool dropAtOnce = false;       /* disconnect the client as soon as it connects */
    bool closeAfterReplies = false;/* disconnect once the replies are written */
};

struct MonitorServer {
    MonitorServerScript script;
    HANDLE thread = NULL;
    HANDLE stopEvent = NULL;
    HANDLE pipe = INVALID_HANDLE_VALUE;
    CRITICAL_SECTION lock;
    std::vector<std::string> requests;
    int connections = 0;
    int closed = 0; /* connections ended by closing our end */

    MonitorServer();
    ~MonitorServer();
    /* Creates the pipe (ready for a client when this returns) and serves
     * clients one after the other until Stop. */
    bool Start(const MonitorServerScript &script = MonitorServerScript());
    void Stop();
    std::vector<std::string> Requests();
    int Connections();
    int Closed();
};

/* The request bytes a string literal with embedded NULs stands for. */
std::string Bytes(const char *text, size_t length);

} // namespace gv

#endif
