/*
 * service.cpp: queries of the service control manager about the service
 * "Gridvane", and its start through Gv_Start.exe.
 *
 * Each operation opens the manager and the service for itself and closes
 * both before it returns. Path arithmetic lives in servicecore.cpp.
 *
 * Globals: StartGridvaneService reads commandLineOptions (-serv_create_dir_disabled).
 */
#include "service.h"

#include "textbuf.h"
#include "globals.h"
#include "process.h"
#include "report.h"
#include "servicecore.h"
#include "timing.h"

static const char ServiceName[] = "Gridvane";

static void ReportManagerFailure(HWND owner, DWORD code)
{
    char text[128];
    ManagerErrorText(code, text, sizeof text);
    ShowMessage(owner, text, OpenerCaption, MB_OK);
}

/* directBox1060: the path operations show "does not exist" as a plain
 * message box, also when other messages go to the event log. */
static void ReportServiceFailure(HWND owner, DWORD code, UINT style, bool directBox1060)
{
    char text[128];
    ServiceErrorText(code, text, sizeof text);
    if (directBox1060 && code == ERROR_SERVICE_DOES_NOT_EXIST)
        MessageBoxA(owner, text, OpenerCaption, MB_OK);
    else
        ShowMessage(owner, text, OpenerCaption, style);
}

/* QueryServiceConfigA into a LocalAlloc buffer the caller frees; NULL with
 * the code of the step that failed in *error. */
static QUERY_SERVICE_CONFIGA *ReadServiceConfig(SC_HANDLE service, DWORD *error)
{
    DWORD needed = 0;
    if (!QueryServiceConfigA(service, NULL, 0, &needed)) {
        *error = GetLastError();
        if (*error != ERROR_INSUFFICIENT_BUFFER)
            return NULL;
    }
    if (needed < sizeof(QUERY_SERVICE_CONFIGA))
        needed = sizeof(QUERY_SERVICE_CONFIGA);
    QUERY_SERVICE_CONFIGA *config = (QUERY_SERVICE_CONFIGA *)LocalAlloc(LPTR, needed);
    if (config == NULL) {
        *error = GetLastError();
        return NULL;
    }
    if (!QueryServiceConfigA(service, config, needed, &needed)) {
        *error = GetLastError();
        LocalFree(config);
        return NULL;
    }
    if (config->lpBinaryPathName == NULL) {
        *error = ERROR_PATH_NOT_FOUND;
        LocalFree(config);
        return NULL;
    }
    *error = 0;
    return config;
}

/* The manager and the service "Gridvane" opened through it. */
struct GridvaneService {
    SC_HANDLE manager;
    SC_HANDLE service;
};

/* How a service that cannot be opened is reported. */
enum ServiceOpenReport {
    ServiceOpenSilent,
    ServiceOpenPathBox, /* as the path operations report: MB_OK, 1060 always as a box */
    ServiceOpenError    /* an MB_ICONHAND message */
};

/* Opens the manager and the service with the access given; a manager that
 * cannot be opened is reported when reportManager is set. On failure
 * nothing stays open and *error is the code of the open that failed. */
static bool OpenGridvaneService(HWND owner, DWORD access, bool reportManager,
                                ServiceOpenReport report, GridvaneService *gv, DWORD *error)
{
    gv->service = NULL;
    gv->manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    if (gv->manager == NULL) {
        *error = GetLastError();
        if (reportManager)
            ReportManagerFailure(owner, *error);
        return false;
    }
    gv->service = OpenServiceA(gv->manager, ServiceName, access);
    if (gv->service != NULL) {
        *error = 0;
        return true;
    }
    *error = GetLastError();
    CloseServiceHandle(gv->manager);
    gv->manager = NULL;
    if (report != ServiceOpenSilent)
        ReportServiceFailure(owner, *error, report == ServiceOpenPathBox ? MB_OK : MB_ICONHAND,
                             report == ServiceOpenPathBox);
    return false;
}

/* Closes both; false, with the code in *error, when the service's handle
 * could not be closed. */
static bool CloseGridvaneService(GridvaneService *gv, DWORD *error)
{
    bool closed = CloseServiceHandle(gv->service) != 0;
    *error = closed ? 0 : GetLastError();
    CloseServiceHandle(gv->manager);
    return closed;
}

/* The service program's directory, from its configured binary path; on
 * failure *error is the code of the first step that failed, and a binary
 * path without a directory gives ERROR_PATH_NOT_FOUND. */
static bool ReadServiceDir(HWND owner, bool report, char *dir, DWORD *error)
{
    GridvaneService gv;
    if (!OpenGridvaneService(owner, SERVICE_QUERY_CONFIG, report,
                             report ? ServiceOpenPathBox : ServiceOpenSilent, &gv, error))
        return false;
    QUERY_SERVICE_CONFIGA *config = ReadServiceConfig(gv.service, error);
    DWORD closeError = 0;
    bool closed = CloseGridvaneService(&gv, &closeError);
    if (config == NULL)
        return false;
    bool ok = closed && ServiceDirFromBinaryPath(config->lpBinaryPathName, dir, GvPathSize);
    LocalFree(config);
    if (!ok)
        *error = closed ? (DWORD)ERROR_PATH_NOT_FOUND : closeError;
    return ok;
}

bool GetServiceExecDir(HWND owner, char *dir, DWORD *error)
{
    return ReadServiceDir(owner, true, dir, error);
}

bool GetProductPath(HWND owner, char *path)
{
    DWORD error = 0;
    return ReadServiceDir(owner, owner != NULL, path, &error) && ProductRootFromServiceDir(path);
}

bool QueryGridvaneService(HWND owner, ServiceState *state)
{
    *state = ServiceOtherState;
    char currentDir[GvPathSize];
    DWORD length = GetCurrentDirectoryA(sizeof currentDir, currentDir);
    if (length == 0 || length >= sizeof currentDir)
        return false;
    char expected[GvPathSize];
    if (!BuildExpectedServicePath(currentDir, expected, sizeof expected))
        return false;

    GridvaneService gv;
    DWORD error = 0;
    if (!OpenGridvaneService(owner, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS, true,
                             ServiceOpenSilent, &gv, &error))
        return false;

    bool ok = true;
    SERVICE_STATUS status;
    if (!QueryServiceStatus(gv.service, &status)) {
        ReportServiceFailure(owner, GetLastError(), MB_ICONHAND, false);
        ok = false;
    } else if (status.dwCurrentState == SERVICE_RUNNING) {
        *state = ServiceRunning;
        QUERY_SERVICE_CONFIGA *config = ReadServiceConfig(gv.service, &error);
        if (config == NULL) {
            ok = false;
        } else {
            if (!ServiceRunsFromHere(config->lpBinaryPathName, expected))
                *state = ServiceRunningElsewhere;
            LocalFree(config);
        }
    } else if (status.dwCurrentState == SERVICE_STOPPED) {
        *state = ServiceStopped;
    }
    CloseGridvaneService(&gv, &error);
    return ok;
}

const char TextServiceNotStarted[] = "Could not start Gridvane service.";

/* How a wait for the running state ended. */
enum ServiceWait {
    ServiceCameUp,
    ServiceNotUp,  /* not running when the polls ran out, or a poll failed */
    ServiceUnknown /* the manager or the service could not be opened: reported */
};

static ServiceWait WaitForGridvaneService(HWND owner)
{
    GridvaneService gv;
    DWORD error = 0;
    if (!OpenGridvaneService(owner, SERVICE_QUERY_STATUS, true, ServiceOpenError, &gv, &error))
        return ServiceUnknown;
    SERVICE_STATUS status;
    bool queried = QueryServiceStatus(gv.service, &status) != 0;
    for (int polls = 0; queried && status.dwCurrentState != SERVICE_RUNNING; polls++) {
        if (polls == ServiceWaitPolls)
            break;
        Sleep(ServiceWaitPollMs);
        queried = QueryServiceStatus(gv.service, &status) != 0;
    }
    CloseGridvaneService(&gv, &error);
    return queried && status.dwCurrentState == SERVICE_RUNNING ? ServiceCameUp : ServiceNotUp;
}

/* Starts Gv_Start.exe from this installation; reported when it cannot. */
static bool RunServiceStarter(HWND owner)
{
    char currentDir[GvPathSize];
    DWORD length = GetCurrentDirectoryA(sizeof currentDir, currentDir);
    if (length == 0 || length >= sizeof currentDir)
        return false;
    char application[GvPathSize];
    char commandLine[GvCommandSize];
    if (!BuildStarterCommand(currentDir, commandLineOptions.serviceCreateDirDisabled,
                             application, sizeof application, commandLine, sizeof commandLine))
        return false;

    char noDesktop[1] = ""; /* an empty name, not NULL */
    ProgramStart start = {application, commandLine, false, 0, NULL, noDesktop};
    DWORD error = 0;
    if (!StartProgram(start, &error)) {
        ShowErrorF(owner, "Service could not be started. Gv_Start.exe(%lu).", error);
        return false;
    }
    return true;
}

/* Take the keyboard focus back from the starter without showing the
 * window: collapsed, shown, focused, hidden again. A window that was
 * on screen (the settings dialog) gets its place back, so that it
 * stays usable if the open goes on to fail. */
static bool TakeFocusBack(HWND window, bool wasVisible)
{
    RECT rect;
    bool gotRect = GetWindowRect(window, &rect) != 0;
    if (gotRect)
        MoveWindow(window, rect.left, rect.top - rect.bottom, 0, 0, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    ShowWindow(window, SW_HIDE);
    if (wasVisible && gotRect) {
        MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   FALSE);
        ShowWindow(window, SW_SHOW);
    }
    return gotRect;
}

bool StartGridvaneService(HWND owner)
{
    if (!RunServiceStarter(owner))
        return false;

    /* The opener's own window (the main window, or the settings dialog
     * above it) steps aside while the service starts. It is looked up by
     * its title, in every process: that is how it has always been found,
     * and another opener's window of that title is moved aside as well,
     * so that the starter's windows stay in front. */
    HWND window = FindWindowA(NULL, OpenerCaption);
    bool wasVisible = window != NULL && IsWindowVisible(window);
    if (window != NULL)
        ShowWindow(window, SW_HIDE);

    ServiceWait waited = WaitForGridvaneService(owner);
    if (waited != ServiceCameUp) {
        /* Only a window that was on screen comes back: the settings
         * dialog of -d and -default was never meant to be seen. */
        if (wasVisible)
            ShowWindow(window, SW_SHOW);
        if (waited == ServiceNotUp)
            ShowError(owner, TextServiceNotStarted);
        return false;
    }
    return window == NULL || TakeFocusBack(window, wasVisible);
}
