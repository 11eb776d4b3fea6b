/*
 * evidence.cpp: what a failed test leaves behind (see harness.h). At the
 * first failure of a test, while the programs are still running: the
 * windows on the display and the processes and threads they belong to
 * (windows.txt) and a screenshot of the display (screen.png). At the end of
 * the failed test: Wine's debug output of the test program and everything
 * it started since the test began (wine-stderr.log); where a program the
 * test started still runs, the stacks of all threads (backtraces.txt, by
 * Wine's debugger: a thread that hangs shows where), and their Unix side
 * (unix-stacks.txt, by gdb: where a thread hangs inside Wine's drivers or
 * the X libraries). All in a folder named after the test under
 * GV_EVIDENCE_DIR.
 */
#include "harness.h"

#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

#include <map>

namespace gv {

namespace {

/* Bounds of the look at a window thread that may not be answering. */
enum { AnswerWaitMs = 1000, ScreenshotWaitMs = 10000, DebuggerWaitMs = 30000 };

std::string Hex(ULONG_PTR value)
{
    char text[32];
    snprintf(text, sizeof text, "%#llx", (unsigned long long)value);
    return text;
}

std::string EvidenceRoot()
{
    return EnvironmentText("GV_EVIDENCE_DIR");
}

/* A test's name as a folder name. */
std::string FolderName(const std::string &name)
{
    std::string folder = name;
    for (char &c : folder)
        if (strchr("\\/:*?\"<>|", c) != NULL)
            c = '_';
    return folder;
}

/* Does the thread of the window take a message? A thread that has not
 * looked at its queue for 5 s counts as hung at once. */
std::string Answer(HWND window, std::map<DWORD, std::string> &answers)
{
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    auto known = answers.find(thread);
    if (known != answers.end())
        return known->second;
    DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    std::string answer;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, AnswerWaitMs, &result))
        answer = "answers";
    else if (GetTickCount() - start < AnswerWaitMs / 2)
        answer = "HUNG (has not read its queue for 5 s)";
    else
        answer = "NO ANSWER within " + std::to_string(AnswerWaitMs) + " ms";
    answers[thread] = answer;
    return answer;
}

std::string WindowLine(HWND window, std::map<DWORD, std::string> &answers)
{
    DWORD pid = 0;
    DWORD thread = GetWindowThreadProcessId(window, &pid);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    char place[96];
    snprintf(place, sizeof place, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    /* the text as the control has it, when its thread answers */
    std::string answer = Answer(window, answers);
    std::string text = answer == "answers" ? WindowText(window) : StoredWindowText(window);
    std::string line = Hex((ULONG_PTR)window) + " " + ClassName(window) + " \"" + text +
                       "\" pid " + Hex(pid) + " thread " + Hex(thread) +
                       (IsWindowVisible(window) ? " visible" : " hidden") +
                       (IsWindowEnabled(window) ? "" : " disabled") + " " + place;
    int id = GetDlgCtrlID(window);
    if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
        line += " id " + std::to_string(id);
    else if (GetWindow(window, GW_OWNER) != NULL)
        line += " owner " + Hex((ULONG_PTR)GetWindow(window, GW_OWNER));
    return line + ", thread " + answer;
}

void DescribeChildren(HWND parent, int depth, std::map<DWORD, std::string> &answers,
                      std::string &text)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child && depth < 4;
         child = GetWindow(child, GW_HWNDNEXT)) {
        text += std::string(2 * (depth + 1), ' ') + WindowLine(child, answers) + "\n";
        DescribeChildren(child, depth + 1, answers, text);
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    ((std::vector<HWND> *)lParam)->push_back(window);
    return TRUE;
}

/* Every process of the prefix's session with its threads, then every
 * top-level window on the display (there are only ours) with its
 * children. */
std::string DescribeDisplay()
{
    std::string text = "processes (pid parent threads name):\n";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 process;
        process.dwSize = sizeof process;
        for (BOOL more = Process32First(snapshot, &process); more;
             more = Process32Next(snapshot, &process)) {
            text += "  " + Hex(process.th32ProcessID) + " " + Hex(process.th32ParentProcessID) +
                    " " + std::to_string(process.cntThreads) + " " + process.szExeFile + ":";
            THREADENTRY32 thread;
            thread.dwSize = sizeof thread;
            for (BOOL t = Thread32First(snapshot, &thread); t; t = Thread32Next(snapshot, &thread))
                if (thread.th32OwnerProcessID == process.th32ProcessID)
                    text += " " + Hex(thread.th32ThreadID);
            text += "\n";
        }
        CloseHandle(snapshot);
    }
    text += "windows (handle class \"caption\" process thread state place):\n";
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, (LPARAM)&windows);
    std::map<DWORD, std::string> answers;
    DWORD self = GetCurrentProcessId();
    for (HWND window : windows) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == self)
            continue;
        text += WindowLine(window, answers) + "\n";
        DescribeChildren(window, 0, answers, text);
    }
    return text;
}

/* A folder of drive Z: as the Unix path it is. */
std::string UnixPath(const std::string &folder)
{
    std::string path = folder;
    if (path.size() > 2 && path[1] == ':')
        path = path.substr(2);
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

/* Starts "/bin/sh -c script" (a Unix shell, which Wine starts outside the
 * prefix) without waiting for it; false, with the reason in the folder's
 * file "failed", when it cannot be started. */
bool StartShell(const std::string &script, const std::string &folder, const char *failed)
{
    std::string command = "/bin/sh -c \"" + script + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessA("Z:\\bin\\sh", line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        WriteFileText(folder + "\\" + failed,
                      "/bin/sh could not be started (" + std::to_string(GetLastError()) + ")\n");
        return false;
    }
    if (process.hThread != NULL)
        CloseHandle(process.hThread);
    if (process.hProcess != NULL)
        CloseHandle(process.hProcess);
    return true;
}

/* Waits, bounded, for the file the shell renames into place when done;
 * when it does not come, says so in the folder's file "note". */
void WaitForFile(const std::string &folder, const char *name, DWORD timeoutMs, const char *note,
                 const char *missing)
{
    std::string path = folder + "\\" + name;
    if (!WaitUntil([&] { return FileExists(path); }, timeoutMs))
        WriteFileText(folder + "\\" + note,
                      std::string(missing) + " within " + std::to_string(timeoutMs) + " ms\n");
}

/* The display as a picture, by ImageMagick's import. */
void TakeScreenshot(const std::string &folder)
{
    std::string png = UnixPath(folder) + "/screen.png";
    if (StartShell("import -window root 'png:" + png + ".part' && mv '" + png + ".part' '" + png +
                       "'",
                   folder, "screen.txt"))
        WaitForFile(folder, "screen.png", ScreenshotWaitMs, "screen.txt", "no screenshot");
}

struct LiveChild {
    DWORD pid;
    std::string file; /* the program's file name, as "notify.exe" */
};

/* The processes this test program started that still run. */
std::vector<LiveChild> LiveChildren()
{
    std::vector<LiveChild> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 process;
    process.dwSize = sizeof process;
    for (BOOL more = Process32First(snapshot, &process); more;
         more = Process32Next(snapshot, &process))
        if (process.th32ParentProcessID == GetCurrentProcessId())
            children.push_back({process.th32ProcessID, process.szExeFile});
    CloseHandle(snapshot);
    return children;
}

/* Wine's debugger, attached to a program the test started, prints the
 * stack of every thread of every process and leaves them running. The
 * 64-bit debugger reads 32-bit processes as well. */
void TakeBacktraces(const std::string &folder, const std::vector<LiveChild> &children)
{
    std::string path = folder + "\\backtraces.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE output = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, 0, NULL);
    if (output == INVALID_HANDLE_VALUE)
        return;
    std::string command = "winedbg --command \"bt all\" " + std::to_string(children[0].pid);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = NULL;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process;
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const char *debugger = wow64 ? "C:\\windows\\sysnative\\winedbg.exe" : NULL;
    if (CreateProcessA(debugger, line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &startup,
                       &process)) {
        if (WaitForSingleObject(process.hProcess, DebuggerWaitMs) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
}

/* The Unix side of the same programs, by gdb: every Wine process of this
 * prefix whose command line names one of them. */
void TakeUnixStacks(const std::string &folder, const std::vector<LiveChild> &children)
{
    char prefix[MAX_PATH] = "";
    if (GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) >= sizeof prefix)
        prefix[0] = '\0';
    std::string names;
    for (const LiveChild &child : children)
        names += " '" + child.file + "'";
    std::string ours = prefix[0] == '\0' ? "" :
        "    tr '\\0' '\\n' </proc/$pid/environ | grep -qxF 'WINEPREFIX=" + std::string(prefix) +
        "' || continue\n";
    std::string script = "command -v gdb >/dev/null || { echo gdb is not installed; exit 0; }\n"
                         "for name in" + names + "; do\n"
                         "  for pid in $(pgrep -f \"$name\"); do\n" + ours +
                         "    echo \"== $name, Unix process $pid\"\n"
                         "    timeout 20 gdb -p $pid -batch -ex 'thread apply all bt 40' 2>&1 |"
                         " grep -v '^\\[New'\n"
                         "  done\n"
                         "done\n";
    std::string unixFolder = UnixPath(folder);
    if (WriteFileText(folder + "\\unix-stacks.sh", script) &&
        StartShell("sh '" + unixFolder + "/unix-stacks.sh' >'" + unixFolder +
                       "/unix-stacks.part' 2>&1; mv '" + unixFolder + "/unix-stacks.part' '" +
                       unixFolder + "/unix-stacks.txt'",
                   folder, "unix-stacks.txt"))
        WaitForFile(folder, "unix-stacks.txt", DebuggerWaitMs, "unix-stacks.txt", "no stacks");
}

class EvidenceKeeper : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo &) override
    {
        mark_ = MarkUnixStderr();
        folder_.clear();
    }

    void OnTestPartResult(const ::testing::TestPartResult &result) override
    {
        if (!result.failed() || !folder_.empty() || EvidenceRoot().empty())
            return;
        const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test != NULL ? std::string(test->test_suite_name()) + "." + test->name()
                                        : "outside-tests";
        folder_ = EvidenceRoot() + "\\" + FolderName(name);
        RemoveTree(folder_);
        MakeDirectories(folder_);
        std::string first = std::string(result.file_name() ? result.file_name() : "?") + ":" +
                            std::to_string(result.line_number()) + ": " + result.summary() + "\n";
        DWORD start = GetTickCount();
        std::string display = DescribeDisplay();
        WriteFileText(folder_ + "\\windows.txt",
                      "first failure of " + name + ", " + Hex(GetTickCount()) + " ms since boot:\n" +
                          first + "\n" + display + "(looked at in " +
                          std::to_string(GetTickCount() - start) + " ms)\n");
        TakeScreenshot(folder_);
        std::vector<LiveChild> children = LiveChildren();
        if (!children.empty()) {
            TakeBacktraces(folder_, children);
            TakeUnixStacks(folder_, children);
        }
    }

    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        if (test.result()->Failed() && !folder_.empty())
            WriteFileText(folder_ + "\\wine-stderr.log", UnixStderrSince(mark_));
        folder_.clear();
    }

private:
    size_t mark_ = 0;
    std::string folder_;
};

} // namespace

/* Installed before main runs. */
static bool evidenceKept = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new EvidenceKeeper);
    return true;
}();

} // namespace gv
