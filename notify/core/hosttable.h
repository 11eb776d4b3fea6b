/*
 * hosttable.h: the notification window's table of base-system computers,
 * one entry per pane, with the connection state, the pipe and the pane
 * bookkeeping of each.
 *
 * Portable: no Windows headers. The pipe is a Windows HANDLE kept as a
 * plain pointer; NoPipe equals INVALID_HANDLE_VALUE.
 */
#ifndef GV_NOTIFY_HOSTTABLE_H
#define GV_NOTIFY_HOSTTABLE_H

#include <stdint.h>

#include <atomic>

#include "netcore.h"

enum HostState : int32_t {
    HostIdle = 0,         /* no connection wanted (no usable name, or logon cancelled) */
    HostDisconnected = 1, /* owned by the connection thread: the pipe is to be opened */
    HostConnected = 2     /* owned by the reader thread: the pipe is open */
};

enum {
    MaxHosts = 2,
    HostNameSize = ComputerNameSize, /* 15 characters and the terminating zero */
    PipeNameSize = 256,
    PaneBlocks = 10
};

typedef void *PipeHandle;
#define NoPipe ((PipeHandle)(intptr_t)-1)

struct HostEntry {
    /* Handing a host from one thread to the other is the write of its state;
     * whatever was written before is seen by the thread that takes it. */
    std::atomic<HostState> state;
    char hostName[HostNameSize];
    char pipeName[PipeNameSize];
    PipeHandle pipe;
    int32_t lastSequence; /* -1: no numbered message since the pipe was opened */
    uint32_t lastError;   /* last code reported; the same code is not reported again */
    bool statusToggle;
    bool wasConnected;
    int32_t lineCount;
    bool paneEnabled;
    int32_t paneExtent;
    int32_t blockWidth[PaneBlocks];
    int listBoxId;
    int comboBoxId;
};

struct HostTable {
    int hostCount;
    HostEntry entries[MaxHosts];
};

/* The initial values of entry index (0 upper pane, 1 lower pane). */
void ResetHostEntry(HostEntry *entry, int index);

#endif
