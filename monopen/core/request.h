/*
 * request.h: the monitor request text sent to a base system's monitor pipe,
 * and the reading of the two replies that come back.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_REQUEST_H
#define GV_MONOPEN_REQUEST_H

#include <stddef.h>
#include <stdint.h>

#include "options.h"

enum {
    RequestBufferSize = 1024,
    ReplyLimit = 1024,              /* bytes read per reply */
    ExchangeMessageSize = 512,      /* message texts of the exchange */
    MonitorPipeNameSize = 64
};

/* A VS Local request opens with this head; its property list follows. */
static const char VsLocalRequestHead[] = "RTD LVS ";
enum { VsLocalListOffset = sizeof VsLocalRequestHead - 1 };

extern const char DefaultLocalFont[];  /* "family:MS Sans Serif-size:8-face:medium" */
extern const char DefaultRemoteFont[]; /* "family:Helvetica-size:12-face:medium" */

/*
 * Writes the request for the settings into the buffer, which the caller has
 * zero-filled (RequestBufferSize bytes): a run of NUL-terminated strings,
 * followed in memory by an empty string. *length is the number of bytes to
 * send: every string with its NUL, the empty string not counted.
 * Text fields are read only up to their declared sizes.
 */
void FormatMonitorRequest(const MonitorSettings *settings, const CommandLineOptions *options,
                          char *buffer, int32_t *length);

/* Trims a node name for the pipe path: the trailing blanks are cut in place,
 * the leading ones skipped. Returns the start of the name. */
char *TrimNodeName(char *node);

/* "\\node\pipe\KPX\PIPE_monts", with "." for an empty node; false when the
 * name does not fit. */
bool FormatMonitorPipeName(const char *node, char *pipeName, size_t size);

/* What the exchange does when the pipe could not be opened: ask for a
 * logon (the access-denied errors), try again after the 5 s pause (while
 * the -r budget lasts; each pause spends one), or give up. */
enum OpenFailureStep { OpenAskForLogon, OpenAfterPause, OpenGiveUp };
OpenFailureStep NextOpenStep(uint32_t error, bool retryGiven, int32_t *retryCount);

/* What the exchange does after a reply. */
struct ReplyAction {
    bool runXDisplayHook;   /* first reply "OK_X": the hook's result counts */
    bool readSecond;        /* go on with the second reply */
    bool result;            /* the exchange's result so far, or final */
    char message[ExchangeMessageSize]; /* to show first; empty for none */
};

/* readOk false: the read failed with error. */
void AfterFirstReply(bool readOk, const char *reply, uint32_t error, ReplyAction *action);
void AfterSecondReply(bool resultSoFar, bool readOk, const char *reply, uint32_t error,
                      ReplyAction *action);

/* "The base system responded with an unknown message. (reply)." with a
 * reply too long for the message shortened and marked with "...". */
void FormatUnknownReply(const char *reply, char *text, size_t size);

#endif
