/*
 * options.h: the two records that describe one run of the monitor opener,
 * what the command line asked for and the monitor to open.
 *
 * Portable: no Windows headers. Both records live in static storage in the
 * program (globals.cpp) and are zero-filled at start.
 */
#ifndef GV_MONOPEN_OPTIONS_H
#define GV_MONOPEN_OPTIONS_H

#include <stdint.h>

enum MonitorType {
    MonitorVsLocal = 0,
    MonitorVsRemote = 1,
    MonitorX = 2,
    MonitorPredefined = 3
};

/* Lengths of the character fields, terminating NUL included. */
enum {
    PredefinedNodeSize = 256,
    NodeNameSize = 16,
    DisplaySize = 24,
    TerminalFontSize = 80,
    PrinterSize = 99,
    FontSize = 256,
    FontValueMax = 127, /* longest -fl / -fr value */
    NodeNameMax = NodeNameSize - 1
};

struct CommandLineOptions {
    bool interactive;          /* false once -n has been accepted */
    int32_t monitorFromDialog; /* 1: dialog or -default; 0: -d */
    char predefinedNode[PredefinedNodeSize];
    int32_t predefinedSetting;
    bool retryGiven;
    int32_t retryCount;        /* counted down by the pipe exchange */
    bool localFontGiven;
    bool remoteFontGiven;
    bool serviceCreateDirDisabled;
    bool startService;
    bool startAsLogonUser;
    bool useDefault;
};

struct MonitorSettings {
    int32_t settingNumber;
    int32_t monitorType;
    int32_t applicationMonitorNumber;
    int32_t applicationNumber;
    char nodeName[NodeNameSize];
    char display[DisplaySize];
    char terminalFont[TerminalFontSize];
    char printer[PrinterSize];
    char remoteFont[FontSize];
    char localFont[FontSize];
};

#endif
