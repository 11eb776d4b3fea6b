/*
 * openmon.cpp: the open-monitor sequence. Fills the monitor settings (from
 * -default, -d or the dialog), decides with openmoncore.cpp where the monitor
 * comes from, and then sends the request or starts the monitor here.
 *
 * Globals: fills and reads monitorSettings. The options and the -r budget
 * come from OpenMonitor's caller.
 */
#include "openmon.h"

#include <string.h>

#include "computer.h"
#include "netcore.h"
#include "textbuf.h"
#include "dialog.h"
#include "dialogcore.h"
#include "exchange.h"
#include "globals.h"
#include "launch.h"
#include "monfile.h"
#include "openmoncore.h"
#include "report.h"
#include "request.h"
#include "service.h"

static bool FillDefaultMonitor(const CommandLineOptions *options, MonitorSettings *settings)
{
    char computer[ComputerNameBufferSize];
    DWORD error = 0;
    if (!ReadComputerName(computer, &error))
        return false;
    CopyText(settings->nodeName, sizeof settings->nodeName, computer);
    FormatText(settings->display, sizeof settings->display, "%s:0", computer);
    settings->settingNumber = 0;
    settings->monitorType = MonitorVsLocal;
    settings->applicationMonitorNumber = 0;
    settings->applicationNumber = 0;
    /* The smallest picture size's font, as the dialog would give it. */
    CopyText(settings->terminalFont, sizeof settings->terminalFont,
             TerminalFontFor(1, MonitorVsLocal));
    CopyText(settings->printer, sizeof settings->printer, DefaultPrinter);
    /* A font given with -fl or -fr stays: the request then carries it
     * rather than an empty FONT. */
    if (!options->remoteFontGiven)
        settings->remoteFont[0] = '\0';
    if (!options->localFontGiven)
        settings->localFont[0] = '\0';
    return true;
}

static bool FillPredefinedMonitor(const CommandLineOptions *options, MonitorSettings *settings)
{
    if (options->monitorFromDialog != 0)
        return false;
    settings->monitorType = MonitorPredefined;
    settings->settingNumber = options->predefinedSetting;
    CopyText(settings->nodeName, sizeof settings->nodeName, options->predefinedNode);
    return true;
}

/* -start_serv: the local service must run, started through Gv_Start when it
 * is stopped. Another state is reported, and the sequence goes on when the
 * query itself worked. */
static bool EnsureLocalService(HWND window)
{
    ServiceState state;
    bool ok = QueryGridvaneService(window, &state);
    if (ok && state == ServiceStopped)
        return StartGridvaneService(window);
    if (state != ServiceRunning)
        ShowError(window, TextServiceNotStarted);
    return ok;
}

/* The common tail: the request, built anew, to the node's pipe. */
static bool SendRequest(HWND window, const CommandLineOptions *options, int32_t *retries)
{
    if (options->startAsLogonUser)
        return true;
    char request[RequestBufferSize];
    int32_t length;
    memset(request, 0, sizeof request);
    FormatMonitorRequest(&monitorSettings, options, request, &length);
    return ExchangeMonitorRequest(window, monitorSettings.nodeName, request, length,
                                  &monitorSettings, options->retryGiven, retries);
}

/* VS Local with -start_as_logon_user: the service must run from this
 * installation; the monitor gets the request text's properties. */
static bool LaunchVsLocal(HWND window, const CommandLineOptions *options)
{
    ServiceState state;
    bool ok = QueryGridvaneService(window, &state);
    if (ok && state == ServiceRunning) {
        char request[RequestBufferSize];
        int32_t length;
        memset(request, 0, sizeof request);
        FormatMonitorRequest(&monitorSettings, options, request, &length);
        /* Past its head the request is the property list; it gets a list
         * buffer of its own, as a monitors.dat section does. */
        char properties[PropertyListSize];
        memset(properties, 0, sizeof properties);
        memcpy(properties, request + VsLocalListOffset, sizeof request - VsLocalListOffset);
        return LaunchMonitor(MonitorVsLocal, properties, window);
    }
    if (state == ServiceStopped)
        ShowError(window, "Gridvane service is not running.");
    else if (state == ServiceRunningElsewhere)
        ShowError(window, "Another Gridvane service is already running!");
    return ok;
}

/* A pre-defined monitor on this computer with a start option: its section
 * of monitors.dat must define a VS Local monitor. */
static bool OpenPredefinedHere(HWND window, const CommandLineOptions *options,
                               int32_t *retries, const OpenPlan &plan)
{
    char section[RequestBufferSize];
    memset(section, 0, sizeof section);
    int32_t fileMonitorType = MonitorVsLocal;
    if (!ReadMonitorDefinition((uint32_t)monitorSettings.settingNumber, &fileMonitorType, section,
                               window))
        return false;
    if (fileMonitorType != MonitorVsLocal) {
        ShowError(window, TextInvalidForType);
        return false;
    }
    if (plan.ensureService && !EnsureLocalService(window))
        return false;
    if (plan.route == RouteLocalLaunch)
        return LaunchMonitor(fileMonitorType, section, window); /* the section whole */
    return SendRequest(window, options, retries);
}

/* monitorSettings from -default, the dialog or -d, and the X display
 * hook where the type needs it. */
static bool FillMonitorSettings(HWND window, const CommandLineOptions *options)
{
    bool ok;
    if (options->useDefault)
        ok = FillDefaultMonitor(options, &monitorSettings);
    else if (options->monitorFromDialog == 1)
        ok = ReadSettingsDialog(window, &monitorSettings);
    else
        ok = FillPredefinedMonitor(options, &monitorSettings);
    if (ok && NeedsXDisplayHook(monitorSettings.monitorType, options->startService,
                                options->startAsLogonUser))
        ok = PrepareXDisplay(window, "exceed", &monitorSettings);
    return ok;
}

/* Whether the monitor's node is this computer (VS Local always is); the
 * node name is upper-cased for the comparison. False when the computer
 * name could not be read, which is reported. */
static bool ReadNodeIsLocal(HWND window, int32_t type, bool *local)
{
    *local = true;
    if (type == MonitorVsLocal)
        return true;
    char computer[ComputerNameBufferSize];
    DWORD error = 0;
    if (!ReadComputerName(computer, &error)) {
        ShowErrorF(window, "Could not request computer name!(%lu)", error);
        return false;
    }
    UpperCaseAscii(monitorSettings.nodeName);
    *local = NodeIsThisComputer(monitorSettings.nodeName, computer);
    return true;
}

bool OpenMonitor(HWND window, const CommandLineOptions *options, int32_t *retries)
{
    if (!FillMonitorSettings(window, options))
        return false;
    int32_t type = monitorSettings.monitorType;
    bool local = true;
    if (!ReadNodeIsLocal(window, type, &local))
        return false;

    OpenPlan plan = PlanOpenMonitor(type, local, options->startService, options->startAsLogonUser);
    if (plan.route != RouteRemoteRequest && plan.route != RouteNothing)
        CopyText(monitorSettings.nodeName, sizeof monitorSettings.nodeName, ".");

    switch (plan.route) {
    case RouteInvalidForType:
        ShowError(window, TextInvalidForType);
        return false;
    case RouteNothing:
        return true;
    default:
        break;
    }
    if (plan.readDefinition)
        return OpenPredefinedHere(window, options, retries, plan);
    if (plan.ensureService && !EnsureLocalService(window))
        return false;
    if (plan.route == RouteLocalLaunch)
        return LaunchVsLocal(window, options);
    return SendRequest(window, options, retries);
}
