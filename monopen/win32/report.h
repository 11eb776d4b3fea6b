/*
 * report.h: the opener's one way to report, a message box or, when it runs
 * unattended, the event log followed by the service-notification program.
 */
#ifndef GV_MONOPEN_REPORT_H
#define GV_MONOPEN_REPORT_H

#include <windows.h>

int ShowMessage(HWND owner, const char *text, const char *caption, UINT style);

/* ShowMessage(owner, text, "Gridvane Monitor", MB_ICONHAND), the form
 * nearly every message of the opener takes. */
void ShowError(HWND owner, const char *text);

/* ShowError with a printf-style text. */
/* "Could not open window.": a dialog could not be created. */
extern const char TextNoWindow[];

void ShowErrorF(HWND owner, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

#endif
