/*
 * pipes.h: the message pipes of the base-system computers and the threads
 * that serve them.
 *
 * The connection thread opens the pipe of every disconnected host, sets
 * it to non-blocking message reads, announces "ACTIVATE" and hands the
 * host to the reader thread; an unreachable host is tried every 2 s. The
 * reader polls the connected pipes, shows their messages and hands a lost
 * pipe back. At the end the shutdown thread stops both, says "DEACTIVATE"
 * to the connected hosts and closes the panes.
 */
#ifndef GV_NOTIFY_PIPES_H
#define GV_NOTIFY_PIPES_H

#include <windows.h>

/* Starts the connection and the reader thread for the pane dialog; false
 * when either could not be created (then neither runs). */
bool StartPipeThreads(HWND dialog);

/* Window thread, on WM_CLOSE: starts the shutdown thread once. False when
 * it could not be created; a later close may try again. */
bool StartShutdown(void);

/* Window thread, on WM_DESTROY: closes the pipes still open. */
void CloseHostPipes(void);

#endif
