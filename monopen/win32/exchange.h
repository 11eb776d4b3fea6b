/*
 * exchange.h: one monitor request to a base system's monitor pipe and its
 * two replies.
 */
#ifndef GV_MONOPEN_EXCHANGE_H
#define GV_MONOPEN_EXCHANGE_H

#include <windows.h>

#include "options.h"

/* Sends the request to the node's pipe ("." when the node is empty) and
 * reports every failure; true when the base system accepted and started
 * the monitor. The node's trailing blanks are cut in place. */
bool ExchangeMonitorRequest(HWND owner, char *node, const char *request, int32_t length,
                            const MonitorSettings *settings, bool retryGiven, int32_t *retries);

/* Hook for monitors shown through an X server; nothing to do here. */
bool PrepareXDisplay(HWND owner, const char *server, const MonitorSettings *settings);

#endif
