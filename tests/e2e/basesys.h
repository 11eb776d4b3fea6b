/*
 * basesys.h: a fake base-system installation inside the Wine prefix, and the
 * service "Gridvane" registered, started and stopped through the real
 * service control manager.
 *
 * Layout: <root>PROG\EXEC\ holds gvcore.exe (a real service program),
 * Gv_Start.exe, GVMSG.EXE and gvview.exe, which leave a record in
 * <name>.log beside themselves; <root>SYS\ACTIVE\SYS_\ holds monitors.dat
 * (tests/fixtures/monitors.dat).
 */
#ifndef GV_TESTS_BASESYS_H
#define GV_TESTS_BASESYS_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace gv {

/* The installation every opener test uses. */
extern const char InstallRoot[]; /* "C:\gvbase\" */
std::string ExecDir();           /* InstallRoot + "PROG\EXEC" (no backslash) */
std::string ServiceProgram();    /* ExecDir() + "\gvcore.exe" */

/* An installation and the binary path its service "Gridvane" is given. */
struct Installation {
    std::string root;
    std::string binaryPath;
};
/* The installation every test uses, with its plain binary path, and one
 * under a folder with blanks ("C:\Program Files\gvbase\") whose binary
 * path is in quotation marks, as installers write it, followed by the
 * arguments given. */
std::vector<Installation> PlainAndQuotedInstallations(const std::string &arguments = "");

/* <root>SYS\ACTIVE\SYS_\monitors.dat */
std::string MonitorsFile(const std::string &root);

/* Removes the service, creates the directories and copies the stand-in
 * programs and monitors.dat; clears their logs. */
bool SetUpInstallation(const std::string &root);
/* Removes the records the stand-ins left beside themselves. */
void ClearFixtureLogs(const std::string &root);
std::string FixtureLog(const std::string &root, const char *program);
/* Whether the stand-in ran or runs now: asked once the program that would
 * have started it has ended, whether it was started. */
bool FixtureStarted(const std::string &root, const char *program);

/* What the gvview.exe stand-in of the installation recorded about its
 * start; complete is false when no whole record came in time. */
struct MonitorStart {
    bool complete = false;
    std::string commandLine;
    std::string directory;
    std::string priority; /* the priority class in hex, "80" for high */
    std::string desktop;  /* as named in its startup information */
    std::map<std::string, std::string> environment;
};
MonitorStart WaitForMonitorStart(const std::string &root, DWORD timeoutMs = 10000);

/* The service "Gridvane" with that binary path (removed first if there). */
bool InstallService(const std::string &binaryPath);
/* Stops (or kills) and deletes the service; true when it is gone. */
bool RemoveService();
/* Starts the service and waits until it reports the state. */
bool StartServiceAndWait(DWORD state, DWORD timeoutMs);
/* SERVICE_RUNNING and the like, or 0 when the service is not there. */
DWORD ServiceCurrentState();

} // namespace gv

#endif
