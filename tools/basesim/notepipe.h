/*
 * notepipe.h: the simulator's notification pipe \\.\pipe\KPX\PIPE_stderr.
 */
#ifndef GV_BASESIM_NOTEPIPE_H
#define GV_BASESIM_NOTEPIPE_H

#include "simcore.h"

/* Creates the pipe (a client can connect once this returns) and starts the
 * threads that accept clients and talk to them. False, after saying why,
 * when the pipe cannot be created. */
bool StartNotificationPipe(const SimOptions *options);

#endif
