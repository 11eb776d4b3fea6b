/*
 * monpipe.cpp: the monitor pipe. Each client gets one conversation: its
 * request is read as one message, decoded with the opener's own request
 * code and printed, and the two replies of the options go back. The next
 * instance is created as soon as a client connects, so a second opener
 * waits for its turn instead of finding the pipe busy.
 */
#include "monpipe.h"

#include <windows.h>

#include "console.h"

static const char MonitorPipeName[] = "\\\\.\\pipe\\KPX\\PIPE_monts";

enum {
    RequestReadSize = 4096, /* more than any request; a longer one is read in parts */
    PipeBufferSize = 4096
};

static const SimOptions *simOptions;
static HANDLE waitingInstance = INVALID_HANDLE_VALUE;

static HANDLE CreateInstance(bool first)
{
    DWORD openMode = PIPE_ACCESS_DUPLEX | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return CreateNamedPipeA(MonitorPipeName, openMode,
                            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, PipeBufferSize, PipeBufferSize, 0, NULL);
}

/* The request message; *length counts all its bytes, even those past the
 * buffer. False when the client went away first. */
static bool ReadRequest(HANDLE pipe, char *buffer, DWORD *length)
{
    DWORD got = 0;
    if (ReadFile(pipe, buffer, RequestReadSize, &got, NULL)) {
        *length = got;
        return true;
    }
    if (GetLastError() != ERROR_MORE_DATA)
        return false;
    *length = got;
    char rest[RequestReadSize];
    for (;;) {
        DWORD more = 0;
        BOOL done = ReadFile(pipe, rest, sizeof rest, &more, NULL);
        *length += more;
        if (done)
            return true;
        if (GetLastError() != ERROR_MORE_DATA)
            return false;
    }
}

static void PrintRequest(int number, const char *bytes, DWORD length)
{
    char escaped[960]; /* within one printed line */
    size_t shown = length < (DWORD)RequestReadSize ? length : (DWORD)RequestReadSize;
    EscapeBytes(bytes, shown, escaped, sizeof escaped);

    DecodedRequest request;
    char error[160];
    if (length > RequestReadSize ||
        !DecodeMonitorRequest(bytes, length, &request, error, sizeof error)) {
        Say("monitor request %d (%lu bytes) NOT DECODED: %s", number, (unsigned long)length,
            length > RequestReadSize ? "longer than any request" : error);
        Say("    bytes: %s", escaped);
        return;
    }
    Say("monitor request %d (%lu bytes), decoded:", number, (unsigned long)length);
    char summary[SummarySize];
    FormatRequestSummary(&request, summary, sizeof summary);
    SayLines(summary);
    Say("    bytes: %s", escaped);
}

static bool WriteReply(HANDLE pipe, const char *reply)
{
    DWORD written = 0;
    return WriteFile(pipe, reply, (DWORD)lstrlenA(reply), &written, NULL) != 0;
}

static void Converse(HANDLE pipe, int number)
{
    static char request[RequestReadSize];
    DWORD length = 0;
    if (!ReadRequest(pipe, request, &length)) {
        Say("monitor client %d went away without a request (%lu)", number, GetLastError());
        return;
    }
    PrintRequest(number, request, length);
    for (int i = 0; i < 2; i++) {
        const char *reply = simOptions->replies[i];
        if (!WriteReply(pipe, reply)) {
            Say("monitor client %d: reply \"%s\" not delivered (%lu)", number, reply,
                GetLastError());
            return;
        }
    }
    Say("monitor request %d answered \"%s\", \"%s\"", number, simOptions->replies[0],
        simOptions->replies[1]);
    /* The replies stay readable until the client closes its end. */
    char rest[64];
    DWORD got;
    while (ReadFile(pipe, rest, sizeof rest, &got, NULL) || GetLastError() == ERROR_MORE_DATA) {
    }
}

static DWORD WINAPI MonitorPipeThread(LPVOID parameter)
{
    (void)parameter;
    for (int number = 1;; number++) {
        HANDLE pipe = waitingInstance;
        if (!ConnectNamedPipe(pipe, NULL) && GetLastError() != ERROR_PIPE_CONNECTED) {
            Say("monitor pipe: waiting for a client failed (%lu)", GetLastError());
            CloseHandle(pipe);
            return 1;
        }
        waitingInstance = CreateInstance(false);
        Converse(pipe, number);
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
        if (waitingInstance == INVALID_HANDLE_VALUE) {
            Say("monitor pipe: no further instance (%lu); no more requests", GetLastError());
            return 1;
        }
    }
}

bool StartMonitorPipe(const SimOptions *options)
{
    simOptions = options;
    waitingInstance = CreateInstance(true);
    if (waitingInstance == INVALID_HANDLE_VALUE) {
        Say("cannot create %s (%lu): is another base system or simulator running?",
            MonitorPipeName, GetLastError());
        return false;
    }
    HANDLE thread = CreateThread(NULL, 0, MonitorPipeThread, NULL, 0, NULL);
    if (thread == NULL) {
        Say("cannot start the monitor pipe's thread (%lu)", GetLastError());
        return false;
    }
    CloseHandle(thread);
    return true;
}
