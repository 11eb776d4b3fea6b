// Where a monitor comes from: every row of the open-monitor decision.
#include <gtest/gtest.h>

#include "openmoncore.h"
#include "options.h"

namespace {

struct Row {
    int32_t type;
    bool local;
    bool startService;
    bool startAsLogonUser;
    OpenRoute route;
    bool ensureService;
    bool readDefinition;
};

const char *RouteName(OpenRoute r)
{
    switch (r) {
    case RouteLocalRequest: return "local request";
    case RouteEnsureAndRequest: return "service ensured, local request";
    case RouteLocalLaunch: return "started here";
    case RouteInvalidForType: return "invalid for this type";
    case RouteRemoteRequest: return "request to the node";
    case RouteNothing: return "nothing";
    }
    return "?";
}

TEST(OpenDecision, EveryRow)
{
    const int32_t L = MonitorVsLocal, R = MonitorVsRemote, X = MonitorX, P = MonitorPredefined;
    const Row rows[] = {
        // VS Local is always local, whatever the node says
        {L, true, false, false, RouteLocalRequest, false, false},
        {L, false, false, false, RouteLocalRequest, false, false},
        {L, true, true, false, RouteEnsureAndRequest, true, false},
        {L, true, false, true, RouteLocalLaunch, false, false},
        {L, true, true, true, RouteLocalLaunch, true, false},
        {L, false, true, true, RouteLocalLaunch, true, false},
        // VS Remote and X on this computer
        {R, true, false, false, RouteLocalRequest, false, false},
        {X, true, false, false, RouteLocalRequest, false, false},
        {R, true, true, false, RouteInvalidForType, false, false},
        {X, true, false, true, RouteInvalidForType, false, false},
        {X, true, true, true, RouteInvalidForType, false, false},
        // pre-defined on this computer
        {P, true, false, false, RouteLocalRequest, false, false},
        {P, true, true, false, RouteEnsureAndRequest, true, true},
        {P, true, false, true, RouteLocalLaunch, false, true},
        {P, true, true, true, RouteLocalLaunch, true, true},
        // another computer
        {R, false, false, false, RouteRemoteRequest, false, false},
        {X, false, true, false, RouteRemoteRequest, false, false},
        {P, false, false, false, RouteRemoteRequest, false, false},
        {P, false, true, false, RouteRemoteRequest, false, false},
        {R, false, false, true, RouteNothing, false, false},
        {X, false, true, true, RouteNothing, false, false},
        {P, false, false, true, RouteNothing, false, false},
    };
    for (const Row &row : rows) {
        OpenPlan plan = PlanOpenMonitor(row.type, row.local, row.startService,
                                        row.startAsLogonUser);
        std::string label = "type " + std::to_string(row.type) +
                            (row.local ? " here" : " elsewhere") +
                            (row.startService ? " -start_serv" : "") +
                            (row.startAsLogonUser ? " -start_as_logon_user" : "");
        EXPECT_STREQ(RouteName(row.route), RouteName(plan.route)) << label;
        EXPECT_EQ(row.ensureService, plan.ensureService) << label;
        EXPECT_EQ(row.readDefinition, plan.readDefinition) << label;
    }
}

TEST(OpenDecision, XDisplayHookOnlyWithoutStartOptions)
{
    for (int32_t type : {MonitorVsRemote, MonitorX}) {
        EXPECT_TRUE(NeedsXDisplayHook(type, false, false));
        EXPECT_FALSE(NeedsXDisplayHook(type, true, false));
        EXPECT_FALSE(NeedsXDisplayHook(type, false, true));
    }
    for (int32_t type : {MonitorVsLocal, MonitorPredefined})
        EXPECT_FALSE(NeedsXDisplayHook(type, false, false));
}

TEST(OpenDecision, NodeNamesThatMeanThisComputer)
{
    EXPECT_TRUE(NodeIsThisComputer("HOST1", "HOST1"));
    EXPECT_TRUE(NodeIsThisComputer("  HOST1", "HOST1"));
    EXPECT_TRUE(NodeIsThisComputer("HOST12", "HOST1")) << "only the computer name's length counts";
    EXPECT_FALSE(NodeIsThisComputer("HOST", "HOST1"));
    EXPECT_FALSE(NodeIsThisComputer("XHOST1", "HOST1"));
    EXPECT_FALSE(NodeIsThisComputer("", "HOST1"));
}

} // namespace
