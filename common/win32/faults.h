/*
 * faults.h: failures that a program's test build can be told to simulate,
 * for the paths that no real system takes on demand. The points are named
 * where they are used: notify's (an event or a thread that cannot be
 * created, a line the list box refuses, a write that fails or takes only
 * part of its message, a logon dialog that cannot be created, a base
 * system that refuses a host's pipe once it was connected) and monopen's
 * (an account that is none of this computer's; the window station's or
 * desktop's DACL refused to the access check, or to the grant, which under
 * Wine never reaches its write since the objects carry no DACL; an event
 * source or event that cannot be written; a notification program that
 * cannot be started).
 *
 * The test build (GV_FAULTS defined) reads the comma-separated point names
 * from the environment variable the program names (GV_NOTIFY_FAULTS,
 * GV_MONOPEN_FAULTS). A name alone fails once, the first time its point is
 * reached; a name followed by "*" fails every time (the desktop and the
 * window station pass the same points one after the other). Each failure
 * is written to the debugger output as "fault: NAME", so that a test can
 * count how often a point was reached. In the delivered programs no point
 * ever fails: InjectedFault is a constant false and the points vanish.
 */
#ifndef GV_COMMON_FAULTS_H
#define GV_COMMON_FAULTS_H

#include <windows.h>

#ifdef GV_FAULTS
void ArmInjectedFaults(const char *variable);
bool InjectedFault(const char *point);
#else
inline void ArmInjectedFaults(const char *) {}
inline bool InjectedFault(const char *) { return false; }
#endif

/* A simulated failure of a Windows call: true, with the last error set to
 * the given code, when the point fails. */
inline bool InjectedFailure(const char *point, DWORD error)
{
    if (!InjectedFault(point))
        return false;
    SetLastError(error);
    return true;
}

#endif
