/*
 * globals.cpp: the notification window's process-wide state, zero-filled
 * at start.
 */
#include "globals.h"

const char NotifyCaption[] = "Notification Window";

HostTable hostTable;
HINSTANCE appInstance;
HWND mainWindow;
HWND paneDialog;
std::atomic<int> stopRequested;
HANDLE readerDone;
HANDLE connectorDone;
HANDLE connectWake;
