/*
 * basesys.cpp: the fake base-system installation and its service.
 */
#include "basesys.h"

#include "harness.h"

#include <tlhelp32.h>

namespace gv {

const char InstallRoot[] = "C:\\gvbase\\";
static const char ServiceName[] = "Gridvane";

std::string ExecDir()
{
    return std::string(InstallRoot) + "PROG\\EXEC";
}

std::string ServiceProgram()
{
    return ExecDir() + "\\gvcore.exe";
}

std::vector<Installation> PlainAndQuotedInstallations(const std::string &arguments)
{
    const std::string blanks = "C:\\Program Files\\gvbase\\";
    return {{InstallRoot, ServiceProgram()},
            {blanks, "\"" + blanks + "PROG\\EXEC\\gvcore.exe\"" + arguments}};
}

std::string MonitorsFile(const std::string &root)
{
    return root + "SYS\\ACTIVE\\SYS_\\monitors.dat";
}

static const char *const StandIns[] = {"gvcore.exe", "Gv_Start.exe", "GVMSG.EXE", "gvview.exe"};

/* A stand-in that an earlier test started without waiting for it (the
 * notifier, the monitor) may still be ending, its file in use for a moment. */
static bool CopyFixture(const std::string &from, const std::string &to)
{
    return WaitUntil([&] { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }, 5000);
}

bool SetUpInstallation(const std::string &root)
{
    /* A running service program could not be replaced. */
    if (!RemoveService())
        return false;
    std::string exec = root + "PROG\\EXEC";
    if (!MakeDirectories(exec) || !MakeDirectories(root + "SYS\\ACTIVE\\SYS_"))
        return false;
    for (const char *program : StandIns)
        if (!CopyFixture(BinPath(program), exec + "\\" + program))
            return false;
    if (!CopyFixture(BinPath("monitors.dat"), MonitorsFile(root)))
        return false;
    ClearFixtureLogs(root);
    return true;
}

static std::string LogPath(const std::string &root, const char *program)
{
    std::string name = program;
    return root + "PROG\\EXEC\\" + name.substr(0, name.find_last_of('.')) + ".log";
}

void ClearFixtureLogs(const std::string &root)
{
    for (const char *program : StandIns)
        DeleteFileA(LogPath(root, program).c_str());
}

std::string FixtureLog(const std::string &root, const char *program)
{
    return ReadFileText(LogPath(root, program));
}

bool FixtureStarted(const std::string &root, const char *program)
{
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    bool found = !FixtureLog(root, program).empty();
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = _stricmp(entry.szExeFile, program) == 0;
    CloseHandle(snapshot);
    return found;
}

MonitorStart WaitForMonitorStart(const std::string &root, DWORD timeoutMs)
{
    MonitorStart start;
    std::string text;
    WaitUntil([&] {
        text = FixtureLog(root, "gvview.exe");
        return text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0;
    }, timeoutMs);
    for (const std::string &line : SplitLines(text)) {
        if (line == "end")
            start.complete = true;
        else if (line.compare(0, 4, "cmd=") == 0)
            start.commandLine = line.substr(4);
        else if (line.compare(0, 4, "cwd=") == 0)
            start.directory = line.substr(4);
        else if (line.compare(0, 9, "priority=") == 0)
            start.priority = line.substr(9);
        else if (line.compare(0, 8, "desktop=") == 0)
            start.desktop = line.substr(8);
        else if (line.compare(0, 4, "env=") == 0) {
            size_t equals = line.find('=', 5); // names like "=C:" begin with one
            if (equals != std::string::npos)
                start.environment[line.substr(4, equals - 4)] = line.substr(equals + 1);
        }
    }
    return start;
}

/* The service manager of a Wine prefix only: on Windows every service
 * operation below fails (and RemoveService finds nothing to remove), so
 * that a test run there never touches a real installation's service. The
 * tests that need the service say that they are skipped there
 * (GV_ONLY_UNDER_WINE). */
static SC_HANDLE OpenManager()
{
    return RunningUnderWine() ? OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS) : NULL;
}

DWORD ServiceCurrentState()
{
    SC_HANDLE manager = OpenManager();
    SC_HANDLE service = OpenServiceA(manager, ServiceName, SERVICE_QUERY_STATUS);
    DWORD state = 0;
    SERVICE_STATUS status;
    if (service != NULL && QueryServiceStatus(service, &status))
        state = status.dwCurrentState;
    if (service != NULL)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return state;
}

static DWORD ServiceProcessId(SC_HANDLE service)
{
    SERVICE_STATUS_PROCESS status;
    DWORD needed;
    if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, (BYTE *)&status, sizeof status,
                              &needed))
        return 0;
    return status.dwProcessId;
}

/* Stops a running service. A service stuck in another state (start
 * pending for good), or one whose stop control does not arrive in time,
 * has its program ended instead: the service manager then can only delete
 * the service, and a service left running would keep it from being
 * deleted at all. (With both cores busy, Wine's service manager has been
 * seen to leave a stop control undelivered: 25 s on, the service still
 * waited for it.) */
static void StopOrKill(SC_HANDLE service)
{
    SERVICE_STATUS status;
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED)
        return;
    DWORD pid = ServiceProcessId(service);
    HANDLE process = pid != 0 ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : NULL;
    bool stopped = false;
    if (status.dwCurrentState == SERVICE_RUNNING) {
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        stopped = WaitUntil([&] {
            return QueryServiceStatus(service, &status) &&
                   status.dwCurrentState == SERVICE_STOPPED;
        }, 10000);
    }
    if (!stopped && process != NULL)
        TerminateProcess(process, 1);
    /* the program itself must be gone before its file can be replaced */
    if (process != NULL) {
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

bool RemoveService()
{
    SC_HANDLE manager = OpenManager();
    SC_HANDLE service = OpenServiceA(manager, ServiceName, SERVICE_ALL_ACCESS);
    if (service != NULL) {
        StopOrKill(service);
        DeleteService(service);
        CloseServiceHandle(service);
    }
    /* A service whose stop control was left undelivered and whose program
     * was ended has been seen to stay more than 10 s before Wine's service
     * manager deleted it (twice, in full runs with both cores busy). */
    bool gone = WaitUntil([&] {
        SC_HANDLE again = OpenServiceA(manager, ServiceName, SERVICE_QUERY_STATUS);
        if (again == NULL)
            return true;
        CloseServiceHandle(again);
        return false;
    }, 40000);
    CloseServiceHandle(manager);
    return gone;
}

bool InstallService(const std::string &binaryPath)
{
    if (!RemoveService())
        return false;
    SC_HANDLE manager = OpenManager();
    SC_HANDLE service = CreateServiceA(manager, ServiceName, ServiceName, SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_IGNORE, binaryPath.c_str(), NULL, NULL, NULL,
                                       NULL, NULL);
    bool ok = service != NULL;
    if (service != NULL)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return ok;
}

bool StartServiceAndWait(DWORD state, DWORD timeoutMs)
{
    SC_HANDLE manager = OpenManager();
    SC_HANDLE service = OpenServiceA(manager, ServiceName, SERVICE_ALL_ACCESS);
    bool ok = service != NULL && StartServiceA(service, 0, NULL);
    if (service != NULL)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return ok && WaitUntil([&] { return ServiceCurrentState() == state; }, timeoutMs);
}

} // namespace gv
