/*
 * notifywin.cpp: the notification window under test (see notifywin.h).
 */
#include "notifywin.h"

namespace gv {

const char NotifyCaption[] = "Notification Window";

static const int ListIds[2] = {1000, 1002};
static const int StatusIds[2] = {1012, 1013};
static const int HostIds[2] = {1006, 1007};
static const int HeadingIds[2] = {1008, 1009};

std::string NotifyPath()
{
    return ShippedPath("notify.exe");
}

std::string NotifyFaultsPath()
{
    return BinPath("notify_faults.exe");
}

Outcome StartNotify(NotifyWindow &window, const std::string &arguments,
                    const std::string &faults, const std::string &exe,
                    const std::vector<std::string> &env)
{
    StartOptions options;
    options.env = env;
    std::string program = exe;
    if (!faults.empty()) {
        options.env.push_back("GV_NOTIFY_FAULTS=" + faults);
        if (program.empty())
            program = NotifyFaultsPath();
    }
    if (program.empty())
        program = NotifyPath();
    Outcome started = Start(window.guard.child, program, arguments, options);
    if (!started)
        return started;
    window.main = WaitForWindow(window.guard.child.pid, "GrdvNotify", NotifyCaption, 10000);
    window.panes = FindWindowExA(window.main, NULL, "#32770", NULL);
    return window.panes != NULL ? started : ::testing::AssertionFailure()
        << "expected the window with its panes, seen " << DescribeWindows(window.guard.child.pid);
}

HWND PaneList(const NotifyWindow &window, int host)
{
    return GetDlgItem(window.panes, ListIds[host]);
}

std::vector<std::string> PaneLines(const NotifyWindow &window, int host)
{
    return ListBoxLines(PaneList(window, host));
}

int PaneLineCount(const NotifyWindow &window, int host)
{
    return (int)SendW(PaneList(window, host), LB_GETCOUNT, 0, 0);
}

std::string LastPaneLine(const NotifyWindow &window, int host)
{
    int count = PaneLineCount(window, host);
    return count > 0 ? ListBoxLine(PaneList(window, host), count - 1) : "";
}

int PaneExtent(const NotifyWindow &window, int host)
{
    return (int)SendW(PaneList(window, host), LB_GETHORIZONTALEXTENT, 0, 0);
}

std::string PaneStatus(const NotifyWindow &window, int host)
{
    return ComboBoxSelectedText(GetDlgItem(window.panes, StatusIds[host]));
}

std::string HostLabel(const NotifyWindow &window, int host)
{
    return ItemText(window.panes, HostIds[host]);
}

bool HeadingEnabled(const NotifyWindow &window, int host)
{
    return ItemEnabled(window.panes, HeadingIds[host]) && ItemEnabled(window.panes, HostIds[host]);
}

int CountLines(const std::vector<std::string> &lines, const std::string &line)
{
    int count = 0;
    for (const std::string &l : lines)
        count += l == line;
    return count;
}

Outcome WaitForLine(const NotifyWindow &window, int host, const std::string &line, int times,
                    DWORD timeoutMs)
{
    return WaitFor([&] { return CountLines(PaneLines(window, host), line) >= times; }, timeoutMs,
                   "[" + line + "] " + std::to_string(times) + "x in pane " + std::to_string(host),
                   [&] { return Describe(PaneLines(window, host)); });
}

Outcome WaitForStatus(const NotifyWindow &window, int host, const std::string &text,
                      DWORD timeoutMs)
{
    return WaitFor([&] { return PaneStatus(window, host) == text; }, timeoutMs,
                   "status [" + text + "] in pane " + std::to_string(host),
                   [&] { return "[" + PaneStatus(window, host) + "]"; });
}

long CloseNotify(NotifyWindow &window, DWORD timeoutMs)
{
    PostMessageA(window.main, WM_CLOSE, 0, 0);
    DWORD code = 0;
    if (!WaitExit(window.guard.child, timeoutMs, &code))
        return -1;
    return (long)code;
}

std::string Describe(const std::vector<std::string> &lines)
{
    std::string all;
    for (const std::string &l : lines)
        all += "\n  [" + l + "]";
    return all.empty() ? "(no lines)" : all;
}

} // namespace gv
