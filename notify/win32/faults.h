/*
 * faults.h: failures that the test build of the notification window can be
 * told to simulate, for the paths that no real system takes on demand (an
 * event or a thread that cannot be created, a line the list box refuses, a
 * write that fails or takes only part of its message, a logon dialog that
 * cannot be created, a base system that refuses a host's pipe once it was
 * connected).
 *
 * The test build (GV_NOTIFY_FAULTS defined) reads the comma-separated point
 * names from the environment variable GV_NOTIFY_FAULTS; each named point
 * fails once. In the delivered program no point ever fails.
 */
#ifndef GV_NOTIFY_FAULTS_H
#define GV_NOTIFY_FAULTS_H

#ifdef GV_NOTIFY_FAULTS
void ArmInjectedFaults(void);
bool InjectedFault(const char *point);
#else
inline void ArmInjectedFaults(void) {}
inline bool InjectedFault(const char *) { return false; }
#endif

#endif
