/*
 * simcore.h: the base-system simulator's options, its notification
 * schedule and the texts it prints and sends.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_BASESIM_SIMCORE_H
#define GV_BASESIM_SIMCORE_H

#include <stddef.h>
#include <stdint.h>

#include "reqdecode.h"

enum {
    ReplySize = 64,            /* one reply word and its NUL */
    SequenceMax = 9999,        /* 9999 is followed by 1 */
    RateMax = 50,              /* notifications per second */
    NotificationSize = 256,
    SummarySize = 1024,
    StatusKind = 'C',          /* unnumbered: notify's status line */
    LogKind = 'L'              /* numbered: a line in notify's pane */
};

struct SimOptions {
    char replies[2][ReplySize]; /* to every monitor request */
    int32_t rate;               /* numbered notifications per second; 0 none */
    int32_t firstSequence;
    int32_t gapEvery;           /* 0: no gaps */
    int32_t gapSize;
    int32_t statusEvery;        /* 0: no status messages but the greeting */
    int32_t dropEvery;          /* 0: never drop a client */
    int32_t durationSeconds;    /* 0: until stopped */
    bool verbose;
    bool help;
};

extern const char SimUsage[];

/* Parses the arguments after the program name. False with a reason in
 * error; help set when --help was asked for (nothing else is looked at). */
bool ParseSimOptions(int argc, const char *const *argv, SimOptions *options, char *error,
                     size_t errorSize);

/* The numbering of the notifications: one schedule for the whole run, so
 * every client sees the same numbers. */
struct NotificationSchedule {
    int32_t nextSequence;
    uint32_t taken; /* numbered notifications so far */
};

void StartSchedule(NotificationSchedule *schedule, const SimOptions *options);

/* The sequence number of the next numbered notification. After every
 * gapEvery of them the numbering skips gapSize numbers; 9999 is followed
 * by 1. */
int32_t TakeSequence(NotificationSchedule *schedule, const SimOptions *options);

/* Does a status message follow the count-th numbered notification? */
bool StatusDue(uint32_t count, const SimOptions *options);

/* Should a client be dropped once it has got count numbered notifications? */
bool DropDue(uint32_t count, const SimOptions *options);

/* A pipe message: "%04d %c " header and the text. */
void FormatNotification(char *message, size_t size, int32_t sequence, char kind,
                        const char *text);

/* The text of the count-th numbered notification (an event of the
 * simulated plant, prefixed with the clock text). */
void NotificationText(char *text, size_t size, uint32_t count, const char *clock);

/* The lines that describe a decoded request, each indented by four blanks
 * and ended by a newline. */
void FormatRequestSummary(const DecodedRequest *request, char *text, size_t size);

/* The bytes quoted for printing: a NUL as \0, other non-printable bytes
 * as \xNN; cut with "..." when it does not fit. */
void EscapeBytes(const char *bytes, size_t length, char *text, size_t size);

#endif
