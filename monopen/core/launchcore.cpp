/*
 * launchcore.cpp: names, paths and decisions of the local monitor start (see
 * launchcore.h).
 */
#include "launchcore.h"

#include <string.h>

#include "errorcodes.h"
#include "options.h"
#include "servicecore.h"
#include "textbuf.h"

const char *const MonitorVariableNames[MonitorVariableCount] = {
    "KPX_MON_TYPE",
    "KPX_MS_WINDOWS_APPLICATION",
    "KPX_MS_WINDOWS_MONITOR",
    "KPX_X_TERMINAL_FONT",
    "DISPLAY",
    "PRINTFILE",
    "KPX_X_TERMINAL_APPLICATION",
    "KPX_X_TERMINAL_MONITOR",
    "FONT",
};

const char MonitorDefaultFont[] = "family:MS Sans Serif-size:8-face:medium";

bool MonitorSectionName(uint32_t settingNumber, char *name, size_t size)
{
    return FormatText(name, size, "%u", (unsigned)settingNumber);
}

bool MonitorsFilePath(const char *serviceDir, char *path, size_t size)
{
    char root[GvPathSize];
    if (!CopyText(root, sizeof root, serviceDir) || !ProductRootFromServiceDir(root)) {
        if (size > 0)
            path[0] = '\0';
        return false;
    }
    return FormatText(path, size, "%s%s%s", root, "SYS\\ACTIVE\\SYS_\\", "monitors.dat");
}

bool MonitorTypeFromName(const char *name, int32_t *type)
{
    /* in the order of the types' numbers */
    static const char *const names[] = {"LVS", "RVS", "XMON"};
    for (int32_t i = MonitorVsLocal; i <= MonitorX; i++) {
        if (strcmp(name, names[i]) == 0) {
            *type = i;
            return true;
        }
    }
    return false;
}

bool HomeFromServiceDir(const char *serviceDir, char *home, size_t size)
{
    if (!CopyText(home, size, serviceDir))
        return false;
    size_t length = strlen(home);
    if (length > 0 && home[length - 1] == '\\')
        home[length - 1] = '\0';
    return true;
}

bool FontNeedsDefault(uint32_t readResult, const char *value)
{
    /* A value of FontReadBackSize characters or more does not fit: the read
     * then returns the size it would need and the text is not used. */
    return readResult == 0 || readResult >= FontReadBackSize || value[0] == '\0';
}

bool BuildMonitorCommand(const char *serviceDir, char *application, size_t applicationSize,
                         char *commandLine, size_t commandSize)
{
    return FormatText(application, applicationSize, "%s%s", serviceDir, "gvview.exe") &&
           FormatText(commandLine, commandSize, "\"%s\" %s", application, "-laf windows");
}

const char *AccessFailureText(bool desktop, bool grant, uint32_t error)
{
    if (grant)
        return desktop ? "Could not set desktop access rights" : "Could not set station access rights";
    if (error == CodeNoneMapped)
        return NULL;
    return desktop ? "Could not check desktop access rights" : "Could not check station access rights";
}
