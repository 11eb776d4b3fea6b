/*
 * launchcore.h: the portable side of the local monitor start: where
 * monitors.dat lies and how its sections and monitor types are named, the
 * monitor variables, HOME, the command line of gvview.exe, and which access
 * failures are reported.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_LAUNCHCORE_H
#define GV_MONOPEN_LAUNCHCORE_H

#include <stddef.h>
#include <stdint.h>

enum {
    MonitorVariableCount = 9,
    MonitorTypeValueSize = 80, /* KPX_MON_TYPE read from monitors.dat */
    FontReadBackSize = 80      /* FONT read back after the property walk */
};

/* The monitor variables, in the order they are cleared before a launch. */
extern const char *const MonitorVariableNames[MonitorVariableCount];

/* FONT when the property list gave none that fits. */
extern const char MonitorDefaultFont[]; /* "family:MS Sans Serif-size:8-face:medium" */

/* "[12]" is the monitor with setting number 12: the number in decimal. */
bool MonitorSectionName(uint32_t settingNumber, char *name, size_t size);

/* <product root>SYS\ACTIVE\SYS_\monitors.dat, the root being the service
 * program's directory less its "PROG\EXEC\" level. False when that
 * directory is too short to have the level, or the path does not fit. */
bool MonitorsFilePath(const char *serviceDir, char *path, size_t size);

/* KPX_MON_TYPE to a monitor type: "LVS" 0, "RVS" 1, "XMON" 2, exactly
 * (letter case counts). False for anything else; *type is then unchanged. */
bool MonitorTypeFromName(const char *name, int32_t *type);

/* HOME of the monitor: the service program's directory without its
 * trailing backslash. */
bool HomeFromServiceDir(const char *serviceDir, char *home, size_t size);

/* FONT read back into a FontReadBackSize buffer: does it need the default?
 * readResult is what the read returned (0, the length, or the size needed
 * when the value did not fit). */
bool FontNeedsDefault(uint32_t readResult, const char *value);

/* gvview.exe in the service program's directory: its full path as the
 * application name, and the command line with that path in double quotes
 * followed by " -laf windows". */
bool BuildMonitorCommand(const char *serviceDir, char *application, size_t applicationSize,
                         char *commandLine, size_t commandSize);

/* The message for a failed access check (grant false) or grant on the
 * desktop or the window station, shown with "!(code)" after it; NULL when
 * the failure is not reported (a user who is no account of this computer,
 * error 1332, on a check). */
const char *AccessFailureText(bool desktop, bool grant, uint32_t error);

#endif
