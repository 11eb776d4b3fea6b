/*
 * monfile.h: the monitor definitions file monitors.dat of the local
 * installation, and the monitor variables of the opener's environment that
 * the monitor program inherits.
 */
#ifndef GV_MONOPEN_MONFILE_H
#define GV_MONOPEN_MONFILE_H

#include <windows.h>

#include <stdint.h>

enum { PropertyListSize = 1024 };

/* Reads section [settingNumber] of monitors.dat into propertyList (1024
 * bytes, NUL-terminated name=value strings and an empty string) and its
 * KPX_MON_TYPE into *monitorType (0 LVS, 1 RVS, 2 XMON). */
bool ReadMonitorDefinition(uint32_t settingNumber, int32_t *monitorType, char *propertyList,
                           HWND owner);

/* Sets the nine monitor variables to the empty text. */
bool ClearMonitorEnvironment(HWND owner);

/* Sets the variables of a property list (changed in place), then FONT and
 * HOME; every failure is reported here. */
void ApplyMonitorProperties(char *propertyList, HWND owner);

#endif
