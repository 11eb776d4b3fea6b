/*
 * timing.h: the notification window's pauses, shared with its tests and
 * benchmarks, which take their time bounds from here.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_NOTIFY_TIMING_H
#define GV_NOTIFY_TIMING_H

enum {
    /* The connection thread, between two attempts on an unreachable host. */
    ConnectRetryPauseMs = 2000,
    /* The reader, after a full turn over the hosts without a message. */
    ReaderIdlePauseMs = 1000,
    /* The shutdown thread, between "DEACTIVATE" and closing the panes. */
    DeactivateGraceMs = 2000
};

#endif
