/*
 * timing.h: the opener's pauses, shared with its tests, which take their
 * time bounds from here.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_TIMING_H
#define GV_MONOPEN_TIMING_H

enum {
    /* Between two attempts to open the monitor pipe, while -r allows. */
    OpenRetryPauseMs = 5000,
    /* The wait for the service after its start: polls, so far apart. */
    ServiceWaitPolls = 50,
    ServiceWaitPollMs = 100
};

#endif
