/*
 * launch.cpp: the start of gvview.exe on this computer (see launch.h): the
 * logged-on user's access to the window station and desktop, the monitor
 * variables, and the process itself at high priority on the interactive
 * desktop. The DACL arithmetic lives in dacl.cpp, names and decisions in
 * launchcore.cpp.
 *
 * Globals: monitorEnvironmentLock (its own) guards the process environment
 * while the monitor variables are set for the child.
 */
#include "launch.h"

#include "computer.h"
#include "netcore.h"
#include "textbuf.h"
#include "dacl.h"
#include "faults.h"
#include "launchcore.h"
#include "monfile.h"
#include "options.h"
#include "process.h"
#include "report.h"
#include "service.h"
#include "servicecore.h"

enum {
    UserNameSize = 257,       /* UNLEN + 1 */
    SidBufferSize = 1024,
    DomainNameSize = 250,
    DescriptorBufferSize = 65556
};

const char TextInvalidForType[] = "Invalid command line parameter used for this monitor type!";
static const char NoMonitorProcess[] = "Unable to create monitor process!(%lu)";

/* Held while the monitor variables are set and the process that inherits
 * them is created. */
static CRITICAL_SECTION monitorEnvironmentLock;
static bool monitorEnvironmentLockReady;

/* The buffers of one access operation, zero-filled, freed by FreeWork. */
struct AccessWork {
    PSID sid;
    char *domain;
    PSECURITY_DESCRIPTOR descriptor;
};

static void FreeWork(AccessWork *work)
{
    if (work->sid != NULL)
        LocalFree(work->sid);
    if (work->domain != NULL)
        LocalFree(work->domain);
    if (work->descriptor != NULL)
        LocalFree(work->descriptor);
}

/* Allocates the buffers, looks the user up as an account of this computer
 * (computer\user) and reads the object's DACL into the descriptor buffer.
 * readFault names the read's point in the test build (faults.h). */
static bool PrepareAccessWork(AccessWork *work, bool desktop, const char *userName,
                              const char *readFault, DWORD *error)
{
    work->sid = (PSID)LocalAlloc(LPTR, SidBufferSize);
    work->domain = (char *)LocalAlloc(LPTR, DomainNameSize);
    work->descriptor = (PSECURITY_DESCRIPTOR)LocalAlloc(LPTR, DescriptorBufferSize);
    if (work->sid == NULL || work->domain == NULL || work->descriptor == NULL) {
        *error = GetLastError();
        return false;
    }

    char computer[ComputerNameBufferSize];
    if (!ReadComputerName(computer, error)) {
        return false;
    }
    char account[ComputerNameBufferSize + 1 + UserNameSize];
    if (!FormatText(account, sizeof account, "%s\\%s", computer, userName)) {
        *error = ERROR_NONE_MAPPED;
        return false;
    }
    DWORD sidSize = SidBufferSize;
    DWORD domainSize = DomainNameSize;
    SID_NAME_USE use;
    if (InjectedFailure("lookup", ERROR_NONE_MAPPED) ||
        !LookupAccountNameA(NULL, account, work->sid, &sidSize, work->domain, &domainSize,
                            &use)) {
        *error = GetLastError();
        return false;
    }
    if (!IsValidSid(work->sid)) {
        *error = ERROR_INVALID_SID; /* IsValidSid sets no code of its own */
        return false;
    }

    HANDLE object = desktop ? (HANDLE)GetThreadDesktop(GetCurrentThreadId())
                            : (HANDLE)GetProcessWindowStation();
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (object == NULL || InjectedFailure(readFault, ERROR_ACCESS_DENIED) ||
        !GetUserObjectSecurity(object, &what, work->descriptor, DescriptorBufferSize, &needed)) {
        *error = GetLastError();
        return false;
    }
    return true;
}

/* An object without a DACL holds no entry for the user: *found stays false
 * and the grant that follows leaves the object alone. */
bool CheckUserObjectAccess(bool *found, DWORD *error, bool desktop, const char *userName)
{
    *found = false;
    *error = 0;
    AccessWork work = {};
    bool ok = PrepareAccessWork(&work, desktop, userName, "checkdacl", error) &&
              FindAllowedEntry(work.descriptor, work.sid, found, error);
    FreeWork(&work);
    return ok;
}

/* The new DACL is written only when it is complete; an object without a
 * DACL (open to everybody) or with an empty one is not written at all. */
bool GrantUserObjectAccess(DWORD *error, bool desktop, const char *userName)
{
    *error = 0;
    AccessWork work = {};
    PACL acl = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    bool ok = PrepareAccessWork(&work, desktop, userName, "grantdacl", error) &&
              BuildGrantedDacl(work.descriptor, work.sid,
                               desktop ? DesktopAccessMask : StationAccessMask, &acl, error);
    if (ok && acl != NULL) {
        descriptor = (PSECURITY_DESCRIPTOR)LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
        HANDLE object = desktop ? (HANDLE)GetThreadDesktop(GetCurrentThreadId())
                                : (HANDLE)GetProcessWindowStation();
        SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
        ok = descriptor != NULL &&
             InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) &&
             SetUserObjectSecurity(object, &what, descriptor);
        if (!ok)
            *error = GetLastError();
    }
    if (descriptor != NULL)
        LocalFree(descriptor);
    if (acl != NULL)
        LocalFree(acl);
    FreeWork(&work);
    return ok;
}

/* Makes sure the user holds an entry on the desktop or the window station;
 * failures are reported and never stop the launch. */
static void EnsureUserObjectAccess(HWND owner, bool desktop, const char *userName)
{
    bool found = false;
    DWORD error = 0;
    if (!CheckUserObjectAccess(&found, &error, desktop, userName)) {
        const char *text = AccessFailureText(desktop, false, error);
        if (text != NULL)
            ShowErrorF(owner, "%s!(%lu)", text, error);
        return;
    }
    if (!found && !GrantUserObjectAccess(&error, desktop, userName))
        ShowErrorF(owner, "%s!(%lu)", AccessFailureText(desktop, true, error), error);
}

bool LaunchMonitor(int32_t monitorType, char *propertyList, HWND owner)
{
    if (!monitorEnvironmentLockReady) {
        InitializeCriticalSection(&monitorEnvironmentLock);
        monitorEnvironmentLockReady = true;
    }

    if (monitorType != MonitorVsLocal) {
        ShowError(owner, TextInvalidForType);
        return false;
    }
    char userName[UserNameSize];
    DWORD userLength = sizeof userName;
    if (!GetUserNameA(userName, &userLength)) {
        ShowErrorF(owner, "Could not get current user account!(%lu)", GetLastError());
        return false;
    }
    EnsureUserObjectAccess(owner, true, userName);
    EnsureUserObjectAccess(owner, false, userName);

    char serviceDir[GvPathSize];
    DWORD error = 0;
    if (!GetServiceExecDir(owner, serviceDir, &error)) {
        ShowError(owner, "Could not get Gridvane executable path!");
        return false;
    }
    char application[GvPathSize];
    char commandLine[GvCommandSize];
    if (!BuildMonitorCommand(serviceDir, application, sizeof application, commandLine,
                             sizeof commandLine)) {
        ShowErrorF(owner, NoMonitorProcess, (DWORD)ERROR_FILENAME_EXCED_RANGE);
        return false;
    }

    EnterCriticalSection(&monitorEnvironmentLock);
    ClearMonitorEnvironment(owner);
    ApplyMonitorProperties(propertyList, owner);
    char desktopName[] = "WinSta0\\Default";
    ProgramStart start = {application, commandLine, false, HIGH_PRIORITY_CLASS, serviceDir,
                          desktopName};
    bool created = StartProgram(start, &error);
    if (!created) {
        ShowErrorF(owner, NoMonitorProcess, error);
    }
    LeaveCriticalSection(&monitorEnvironmentLock);
    return created;
}
