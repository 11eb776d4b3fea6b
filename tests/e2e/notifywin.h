/*
 * notifywin.h: notify.exe (or its test build with simulated failures)
 * started and read as an operator sees it: the main window, the pane
 * dialog inside it, the lines of each pane and its status line.
 */
#ifndef GV_TESTS_NOTIFYWIN_H
#define GV_TESTS_NOTIFYWIN_H

#include <string>
#include <vector>

#include "harness.h"

namespace gv {

extern const char NotifyCaption[]; /* "Notification Window" */

std::string NotifyPath();
std::string NotifyFaultsPath();

struct NotifyWindow {
    ChildGuard guard;
    HWND main = NULL;
    HWND panes = NULL; /* the pane dialog */
};

/* Starts the program and waits for its window with the pane dialog.
 * faults non-empty: the test build, told to fail at those points; env:
 * NAME=value entries added to its environment. */
Outcome StartNotify(NotifyWindow &window, const std::string &arguments,
                    const std::string &faults = "", const std::string &exe = "",
                    const std::vector<std::string> &env = {});

/* Pane host (0 upper, 1 lower): list box, status combo box, labels. */
HWND PaneList(const NotifyWindow &window, int host);
std::vector<std::string> PaneLines(const NotifyWindow &window, int host);
int PaneLineCount(const NotifyWindow &window, int host);
/* The newest line alone ("" for an empty pane): cheap on a long pane. */
std::string LastPaneLine(const NotifyWindow &window, int host);
int PaneExtent(const NotifyWindow &window, int host);
std::string PaneStatus(const NotifyWindow &window, int host);
std::string HostLabel(const NotifyWindow &window, int host);
bool HeadingEnabled(const NotifyWindow &window, int host);

/* How often the line is in the pane. */
int CountLines(const std::vector<std::string> &lines, const std::string &line);
/* Waits until the line is in the pane at least times times. */
Outcome WaitForLine(const NotifyWindow &window, int host, const std::string &line, int times,
                    DWORD timeoutMs);
Outcome WaitForStatus(const NotifyWindow &window, int host, const std::string &text,
                      DWORD timeoutMs);
/* Closes the window as its close box does; the exit code, or -1 when it
 * did not end in time. */
long CloseNotify(NotifyWindow &window, DWORD timeoutMs);

/* The lines joined, for failure output. */
std::string Describe(const std::vector<std::string> &lines);

} // namespace gv

#endif
