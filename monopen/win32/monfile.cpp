/*
 * monfile.cpp: the monitor definitions file monitors.dat and the monitor
 * variables of the opener's environment (see monfile.h). The monitor
 * program inherits the environment, so these operations shape the
 * monitor's environment by changing the opener's own.
 */
#include "monfile.h"

#include "launchcore.h"
#include "proplist.h"
#include "report.h"
#include "service.h"
#include "servicecore.h"

static const char MonitorTypeKey[] = "KPX_MON_TYPE";
static const char PropertiesNotSet[] = "Could not set monitor properties!(%lu)";
static const char FileNotRead[] = "An error occurred when reading the monitors.dat file!(%lu)";
static const char NoServicePath[] = "An error occurred when trying to get the path to Gridvane!(%lu)";

bool ReadMonitorDefinition(uint32_t settingNumber, int32_t *monitorType, char *propertyList,
                           HWND owner)
{
    char section[16];
    MonitorSectionName(settingNumber, section, sizeof section);

    char serviceDir[GvPathSize];
    DWORD error = 0;
    if (!GetServiceExecDir(owner, serviceDir, &error)) {
        ShowErrorF(owner, NoServicePath, error);
        return false;
    }
    char file[GvPathSize];
    if (!MonitorsFilePath(serviceDir, file, sizeof file)) {
        /* A service directory without the PROG\EXEC level: no root to
         * find the file under. */
        ShowErrorF(owner, NoServicePath, (DWORD)ERROR_PATH_NOT_FOUND);
        return false;
    }

    /* The profile reads give a missing file its code but a missing section
     * or an empty value none: the code is cleared before each read, so
     * that 0 is shown then, not a code an earlier call left behind. */
    SetLastError(NO_ERROR);
    if (GetPrivateProfileSectionA(section, propertyList, PropertyListSize, file) == 0) {
        ShowErrorF(owner, FileNotRead, GetLastError());
        return false;
    }
    /* A key given with an empty value reads as 0 characters; a missing key
     * reads as its default. */
    char typeName[MonitorTypeValueSize];
    SetLastError(NO_ERROR);
    if (GetPrivateProfileStringA(section, MonitorTypeKey, "LVS", typeName, sizeof typeName,
                                 file) == 0) {
        ShowErrorF(owner, FileNotRead, GetLastError());
        return false;
    }
    if (!MonitorTypeFromName(typeName, monitorType)) {
        ShowError(owner, "Unknown monitor type defined in the monitor file!");
        return false;
    }
    return true;
}

bool ClearMonitorEnvironment(HWND owner)
{
    for (int i = 0; i < MonitorVariableCount; i++) {
        if (!SetEnvironmentVariableA(MonitorVariableNames[i], "")) {
            ShowErrorF(owner, PropertiesNotSet, GetLastError());
            return false;
        }
    }
    return true;
}

static bool SetProperty(void *context, const char *name, const char *value)
{
    if (SetEnvironmentVariableA(name, value))
        return true;
    ShowErrorF((HWND)context, PropertiesNotSet, GetLastError());
    return false;
}

static void ReportSyntaxError(void *context)
{
    ShowError((HWND)context, "Syntax error in the monitor property list!");
}

/* HOME: the service directory without its trailing backslash. */
static bool SetHomeVariable(HWND owner, DWORD *error)
{
    char serviceDir[GvPathSize];
    char home[GvPathSize];
    if (!GetServiceExecDir(owner, serviceDir, error)) {
        return false;
    }
    if (!HomeFromServiceDir(serviceDir, home, sizeof home)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (!SetEnvironmentVariableA("HOME", home)) {
        *error = GetLastError();
        return false;
    }
    return true;
}

void ApplyMonitorProperties(char *propertyList, HWND owner)
{
    PropertyActions actions = {SetProperty, ReportSyntaxError, owner};
    WalkPropertyList(propertyList, PropertyListSize, &actions);

    char font[FontReadBackSize] = "";
    DWORD fontLength = GetEnvironmentVariableA("FONT", font, sizeof font);
    if (FontNeedsDefault(fontLength, font) && !SetEnvironmentVariableA("FONT", MonitorDefaultFont))
        ShowErrorF(owner, PropertiesNotSet, GetLastError());

    DWORD error = 0;
    if (!SetHomeVariable(owner, &error)) {
        ShowErrorF(owner, PropertiesNotSet, error);
    }
}
