/*
 * openmoncore.h: the decisions of the open-monitor sequence, as functions of
 * the monitor type, where the node is, and the two start options.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_OPENMONCORE_H
#define GV_MONOPEN_OPENMONCORE_H

#include <stdint.h>

enum OpenRoute {
    RouteLocalRequest,    /* request to the local pipe (".") */
    RouteEnsureAndRequest,/* local service ensured, then request to "." */
    RouteLocalLaunch,     /* the monitor is started on this computer */
    RouteInvalidForType,  /* a local start asked for a VS Remote or X monitor */
    RouteRemoteRequest,   /* request to the node's pipe */
    RouteNothing          /* another computer and -start_as_logon_user: done */
};

struct OpenPlan {
    OpenRoute route;
    bool ensureService;   /* -start_serv: make sure the local service runs */
    bool readDefinition;  /* pre-defined monitor from monitors.dat first */
};

/* Is the X display hook run before the request? */
bool NeedsXDisplayHook(int32_t monitorType, bool startService, bool startAsLogonUser);

/* local: the node names this computer (ignored for VS Local, which is
 * always local). */
OpenPlan PlanOpenMonitor(int32_t monitorType, bool local, bool startService,
                         bool startAsLogonUser);

/* Is the node this computer? Its leading blanks skipped, it is when it
 * begins with the computer name (NameIsThisComputer, common/core/netcore.h). */
bool NodeIsThisComputer(const char *node, const char *computer);

#endif
