/*
 * monpipe.h: the simulator's monitor pipe \\.\pipe\KPX\PIPE_monts.
 */
#ifndef GV_BASESIM_MONPIPE_H
#define GV_BASESIM_MONPIPE_H

#include "simcore.h"

/* Creates the pipe (a client can connect once this returns) and serves it
 * on a thread of its own. False, after saying why, when the pipe cannot be
 * created (another program serves it already, for instance). */
bool StartMonitorPipe(const SimOptions *options);

#endif
