/*
 * openmoncore.cpp: decisions of the open-monitor sequence (see openmoncore.h).
 */
#include "openmoncore.h"

#include "cmdtext.h"
#include "netcore.h"
#include "options.h"

bool NeedsXDisplayHook(int32_t monitorType, bool startService, bool startAsLogonUser)
{
    return (monitorType == MonitorVsRemote || monitorType == MonitorX) && !startService &&
           !startAsLogonUser;
}

OpenPlan PlanOpenMonitor(int32_t monitorType, bool local, bool startService,
                         bool startAsLogonUser)
{
    OpenPlan plan = {RouteRemoteRequest, false, false};
    if (monitorType == MonitorVsLocal) {
        plan.ensureService = startService;
        plan.route = startAsLogonUser ? RouteLocalLaunch
                     : startService   ? RouteEnsureAndRequest
                                      : RouteLocalRequest;
        return plan;
    }
    if (!local) {
        plan.route = startAsLogonUser ? RouteNothing : RouteRemoteRequest;
        return plan;
    }
    if (!startService && !startAsLogonUser) {
        plan.route = RouteLocalRequest;
        return plan;
    }
    if (monitorType != MonitorPredefined) {
        plan.route = RouteInvalidForType;
        return plan;
    }
    plan.readDefinition = true;
    plan.ensureService = startService;
    plan.route = startAsLogonUser ? RouteLocalLaunch : RouteEnsureAndRequest;
    return plan;
}

bool NodeIsThisComputer(const char *node, const char *computer)
{
    /* The node field may hold leading blanks typed into the dialog; the
     * notification window's names never do. */
    return NameIsThisComputer(SkipBlanks(node), computer);
}
