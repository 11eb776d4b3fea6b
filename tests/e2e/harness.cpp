/*
 * harness.cpp: processes and windows of the programs under test.
 */
#include "harness.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <algorithm>

namespace gv {

/* ---- files and paths ---- */

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string BinPath(const std::string &name)
{
    return BinDir() + name;
}

std::string EnvironmentText(const char *name)
{
    char value[1024];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : "";
}

std::string ShippedPath(const std::string &name)
{
    std::string path = EnvironmentText("GV_SHIPPED_DIR");
    if (path.empty())
        return BinPath(name);
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path + name;
}

std::string ReadFileText(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                              FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buffer[4096];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool WriteFileText(const std::string &path, const std::string &text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) &&
              written == text.size();
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeDirectories(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); i++) {
        if (i == path.size() || path[i] == '\\') {
            std::string part = path.substr(0, i);
            if (!CreateDirectoryA(part.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    return true;
}

bool RemoveTree(const std::string &path)
{
    std::string dir = path;
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
    return !FileExists(dir);
}

/* Renumbers the dialog in the copy's resource directory (to the next
 * free number, which keeps the entries sorted), so it is not found. */
bool CopyWithoutDialog(const std::string &from, const std::string &to, int dialogId)
{
    std::string image = ReadFileText(from);
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return false;
    char *base = &image[0];
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)base;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    DWORD rsrcRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(nt);
    char *rsrc = NULL;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; i++, section++)
        if (rsrcRva >= section->VirtualAddress &&
            rsrcRva < section->VirtualAddress + section->Misc.VirtualSize)
            rsrc = base + section->PointerToRawData + (rsrcRva - section->VirtualAddress);
    if (rsrc == NULL)
        return false;
    auto entries = [](IMAGE_RESOURCE_DIRECTORY *dir) {
        return (IMAGE_RESOURCE_DIRECTORY_ENTRY *)(dir + 1);
    };
    IMAGE_RESOURCE_DIRECTORY *root = (IMAGE_RESOURCE_DIRECTORY *)rsrc;
    int rootCount = root->NumberOfNamedEntries + root->NumberOfIdEntries;
    for (int i = 0; i < rootCount; i++) {
        IMAGE_RESOURCE_DIRECTORY_ENTRY *type = &entries(root)[i];
        if (type->NameIsString || type->Id != (WORD)(ULONG_PTR)RT_DIALOG)
            continue;
        IMAGE_RESOURCE_DIRECTORY *dialogs =
            (IMAGE_RESOURCE_DIRECTORY *)(rsrc + type->OffsetToDirectory);
        int count = dialogs->NumberOfNamedEntries + dialogs->NumberOfIdEntries;
        for (int j = 0; j < count; j++) {
            IMAGE_RESOURCE_DIRECTORY_ENTRY *dialog = &entries(dialogs)[j];
            if (dialog->NameIsString || dialog->Id != dialogId)
                continue;
            WORD next = (WORD)(dialogId + 1);
            if (j + 1 < count && entries(dialogs)[j + 1].Id == next)
                return false;
            dialog->Id = next;
            return WriteFileText(to, image);
        }
    }
    return false;
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string ComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

std::string OtherHostName(const char *suffix)
{
    char first = ComputerName().empty() ? 'A' : (char)toupper(ComputerName()[0]);
    return std::string(first == 'Q' ? "XNODE" : "QNODE") + suffix;
}

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != NULL && GetProcAddress(ntdll, "wine_get_version") != NULL;
}

std::string Lower(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

/* ---- processes ---- */

static std::string TempFileName(const char *prefix)
{
    char dir[MAX_PATH];
    char name[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    GetTempFileNameA(dir, prefix, 0, name);
    return name;
}

/* The test's environment with the entries of extra added or replaced, as a
 * block for CreateProcessA. */
static std::string EnvironmentBlock(const std::vector<std::string> &extra)
{
    std::vector<std::string> entries;
    char *block = GetEnvironmentStringsA();
    for (char *p = block; *p; p += strlen(p) + 1)
        entries.push_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string &e : extra) {
        std::string name = e.substr(0, e.find('=') + 1);
        bool replaced = false;
        for (std::string &old : entries)
            if (_strnicmp(old.c_str(), name.c_str(), name.size()) == 0) {
                old = e;
                replaced = true;
            }
        if (!replaced)
            entries.push_back(e);
    }
    std::string result;
    for (const std::string &e : entries) {
        result += e;
        result += '\0';
    }
    result += '\0';
    return result;
}

/*
 * The mouse pointer waits in the screen's bottom-right corner, where no
 * window of the programs ever opens, so that no window a program opens
 * appears under it. Under Wine (with the libX11 of Debian 12) a window
 * that appears under the pointer has its thread load the X cursor; when at
 * that moment another thread of the same program shows a window (notify's
 * connection thread bringing up the logon dialog at start-up), the two can
 * deadlock inside libX11: the first waits in its X error handling for the
 * display lock that the second holds while waiting for its own reply.
 * Windows has no such lock; the tests press buttons by message and never
 * need the pointer.
 */
static void ParkPointer()
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

Outcome Start(Child &child, const std::string &exe, const std::string &arguments,
              const StartOptions &options)
{
    ParkPointer();
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (options.captureOutput) {
        child.outputPath = TempFileName("out");
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
        output = CreateFileA(child.outputPath.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, NULL);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    std::string environment;
    if (!options.env.empty())
        environment = EnvironmentBlock(options.env);
    PROCESS_INFORMATION process;
    BOOL ok = CreateProcessA(exe.c_str(), line.data(), NULL, NULL, options.captureOutput, 0,
                             environment.empty() ? NULL : (void *)environment.data(),
                             options.currentDir.empty() ? NULL : options.currentDir.c_str(),
                             &startup, &process);
    DWORD error = GetLastError();
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!ok)
        return ::testing::AssertionFailure() << commandLine << " could not be started (" << error
                                             << ")";
    CloseHandle(process.hThread);
    child.process = process.hProcess;
    child.pid = process.dwProcessId;
    return ::testing::AssertionSuccess();
}

Outcome WaitExit(Child &child, DWORD timeoutMs, DWORD *exitCode)
{
    if (child.process == NULL)
        return ::testing::AssertionFailure() << "no process to wait for";
    if (WaitForSingleObject(child.process, timeoutMs) != WAIT_OBJECT_0) {
        std::string windows = DescribeWindows(child.pid);
        Kill(child);
        return ::testing::AssertionFailure() << "still running after " << timeoutMs
                                             << " ms, on screen: " << windows;
    }
    DWORD code = 0;
    GetExitCodeProcess(child.process, &code);
    if (exitCode != NULL)
        *exitCode = code;
    return ::testing::AssertionSuccess();
}

Outcome WaitExitCode(Child &child, DWORD timeoutMs, DWORD expected)
{
    DWORD code = 0;
    Outcome ended = WaitExit(child, timeoutMs, &code);
    if (!ended || code == expected)
        return ended;
    return ::testing::AssertionFailure() << "exit code " << code << ", expected " << expected;
}

bool IsRunning(const Child &child)
{
    return child.process != NULL && WaitForSingleObject(child.process, 0) == WAIT_TIMEOUT;
}

/* The coverage build of the programs (scripts/coverage) writes its counts
 * when asked (common/win32/covdump.cpp); ended by TerminateProcess without
 * that, it writes none. Other builds have no such event: nothing waits. */
static void AskForCoverageCounts(const Child &child)
{
    char name[64];
    snprintf(name, sizeof name, "gv-coverage-dump-%lu", (unsigned long)child.pid);
    HANDLE ask = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (ask == NULL)
        return;
    snprintf(name, sizeof name, "gv-coverage-done-%lu", (unsigned long)child.pid);
    HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (done != NULL) {
        SetEvent(ask);
        HANDLE either[2] = {done, child.process};
        WaitForMultipleObjects(2, either, FALSE, 5000);
        CloseHandle(done);
    }
    CloseHandle(ask);
}

void Kill(Child &child)
{
    if (IsRunning(child)) {
        AskForCoverageCounts(child);
        TerminateProcess(child.process, 99);
        WaitForSingleObject(child.process, 5000);
    }
}

void Release(Child &child)
{
    Kill(child);
    if (child.process != NULL)
        CloseHandle(child.process);
    child.process = NULL;
    if (!child.outputPath.empty())
        DeleteFileA(child.outputPath.c_str());
}

std::string Output(const Child &child)
{
    return child.outputPath.empty() ? "" : ReadFileText(child.outputPath);
}

/* ---- Wine's debug output ---- */

static std::string UnixStderrPath()
{
    return EnvironmentText("GV_UNIX_STDERR");
}

size_t MarkUnixStderr()
{
    std::string path = UnixStderrPath();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (size_t)data.nFileSizeLow;
}

std::string UnixStderrSince(size_t mark)
{
    std::string path = UnixStderrPath();
    if (path.empty())
        return "(GV_UNIX_STDERR is not set: Wine's debug output of GUI programs is not seen)";
    std::string all = ReadFileText(path);
    return mark < all.size() ? all.substr(mark) : "";
}

/* ---- windows ---- */

static std::string Narrow(const wchar_t *text, int length)
{
    if (length <= 0)
        return "";
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, NULL, 0, NULL, NULL);
    std::string result(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], n, NULL, NULL);
    return result;
}

static std::wstring Widen(const std::string &text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), NULL, 0);
    std::wstring result(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), (int)text.size(), &result[0], n);
    return result;
}

static const UINT SendTimeoutMs = 5000;

LRESULT SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, SendTimeoutMs,
                             &result))
        return -1;
    return (LRESULT)result;
}

std::string WindowText(HWND window)
{
    if (window == NULL)
        return "";
    LRESULT length = SendW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return "";
    std::vector<wchar_t> buffer(length + 1);
    LRESULT got = SendW(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data());
    return Narrow(buffer.data(), got < 0 ? 0 : (int)got);
}

std::string StoredWindowText(HWND window)
{
    wchar_t text[256] = L"";
    int n = InternalGetWindowText(window, text, 256);
    return Narrow(text, n);
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool ItemEnabled(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != NULL && IsWindowEnabled(item);
}

bool ItemChecked(HWND dialog, int id)
{
    return SendW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

DWORD WindowStyle(HWND window)
{
    return (DWORD)GetWindowLongPtrA(window, GWL_STYLE);
}

struct WindowSearch {
    DWORD pid;
    const char *className;
    const char *caption;
    bool hiddenToo;
    bool messageBox;
    int controlId; /* 0: any */
    HWND found;
};

/* A message box: its text is static 0xFFFF beside the icon static 0x440. */
static bool IsMessageBox(HWND window)
{
    HWND text = GetDlgItem(window, 0xFFFF);
    return text != NULL && ClassName(text) == "Static" && GetDlgItem(window, 0x440) != NULL;
}

bool MessageBoxHasIcon(HWND box)
{
    HWND icon = GetDlgItem(box, 0x440);
    return icon != NULL && SendW(icon, STM_GETICON, 0, 0) != 0;
}

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || (!search->hiddenToo && !IsWindowVisible(window)))
        return TRUE;
    if (search->className != NULL && ClassName(window) != search->className)
        return TRUE;
    if (search->caption != NULL && WindowText(window) != search->caption)
        return TRUE;
    if (search->messageBox && !IsMessageBox(window))
        return TRUE;
    if (search->controlId != 0 && GetDlgItem(window, search->controlId) == NULL)
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND FindTopWindow(DWORD pid, const char *className, const char *caption, bool messageBox,
                          int controlId, DWORD timeoutMs, bool hiddenToo = false)
{
    WindowSearch search = {pid, className, caption, hiddenToo, messageBox, controlId, NULL};
    WaitUntil([&] {
        EnumWindows(MatchWindow, (LPARAM)&search);
        return search.found != NULL;
    }, timeoutMs);
    return search.found;
}

HWND WaitForWindow(DWORD pid, const char *className, const char *caption, DWORD timeoutMs)
{
    return FindTopWindow(pid, className, caption, false, 0, timeoutMs);
}

HWND ProcessWindow(DWORD pid, const char *className, const char *caption)
{
    return FindTopWindow(pid, className, caption, false, 0, 0, true);
}

HWND WaitForDialog(DWORD pid, const char *caption, int controlId, DWORD timeoutMs)
{
    return FindTopWindow(pid, "#32770", caption, false, controlId, timeoutMs);
}

UnitRect PlaceInDialogUnits(HWND dialog, int widthUnits, int heightUnits, HWND control)
{
    RECT client, r;
    GetClientRect(dialog, &client);
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, (POINT *)&r, 2);
    double sx = (double)client.right / widthUnits, sy = (double)client.bottom / heightUnits;
    UnitRect units = {(int)(r.left / sx + 0.5), (int)(r.top / sy + 0.5),
                      (int)((r.right - r.left) / sx + 0.5), (int)((r.bottom - r.top) / sy + 0.5)};
    return units;
}

std::string ControlTexts(HWND dialog)
{
    std::string texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts += WindowText(child) + "|";
    return texts;
}

void ClickControl(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND WaitForMessageBox(DWORD pid, const char *caption, DWORD timeoutMs)
{
    return FindTopWindow(pid, "#32770", caption, true, 0, timeoutMs);
}

std::string MessageBoxText(HWND box)
{
    /* a box may be on screen a moment before its text is set */
    std::string text;
    WaitUntil([&] { return !IsWindow(box) || !(text = ItemText(box, 0xFFFF)).empty(); }, 2000);
    return text;
}

void PressMessageBox(HWND box)
{
    ClickButton(box, GetDlgItem(box, IDOK) != NULL ? IDOK : IDCANCEL);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
}

/* The next message box and its text, or NULL after the time-out. A box
 * pressed a moment ago may still be found on its way out (gone by the
 * time its text is read, or still there when the press timed out): the
 * next one is meant. */
static HWND NextMessageBox(DWORD pid, const char *caption, DWORD timeoutMs, HWND pressed,
                           std::string *text)
{
    DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed <= timeoutMs; elapsed = GetTickCount() - start) {
        HWND box = WaitForMessageBox(pid, caption, timeoutMs - elapsed);
        if (box == NULL)
            return NULL;
        *text = MessageBoxText(box);
        if (IsWindow(box) && box != pressed)
            return box;
    }
    return NULL;
}

std::string DismissMessageBox(DWORD pid, const char *caption, DWORD timeoutMs)
{
    std::string text;
    HWND box = NextMessageBox(pid, caption, timeoutMs, NULL, &text);
    if (box != NULL)
        PressMessageBox(box);
    return box != NULL ? text : "";
}

static BOOL CALLBACK DescribeWindow(HWND window, LPARAM lParam)
{
    std::pair<DWORD, std::string> *what = (std::pair<DWORD, std::string> *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != what->first || !IsWindowVisible(window))
        return TRUE;
    DWORD_PTR ignored;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, SendTimeoutMs, &ignored)) {
        what->second += "[" + ClassName(window) + " \"" + StoredWindowText(window) +
                        "\", its thread does not answer] ";
        return TRUE;
    }
    what->second += "[" + ClassName(window) + " \"" + WindowText(window) + "\"";
    if (IsMessageBox(window))
        what->second += " text \"" + ItemText(window, 0xFFFF) + "\"";
    what->second += "] ";
    return TRUE;
}

std::string DescribeWindows(DWORD pid)
{
    std::pair<DWORD, std::string> what(pid, "");
    EnumWindows(DescribeWindow, (LPARAM)&what);
    return what.second.empty() ? "(no visible windows)" : what.second;
}

ProgramRun RunToEnd(const std::string &exe, const std::string &arguments,
                    const StartOptions &options, const char *expectedCaption, DWORD timeoutMs)
{
    ProgramRun run;
    ChildGuard guard;
    size_t mark = MarkUnixStderr();
    Outcome started = Start(guard.child, exe, arguments, options);
    if (!started) {
        run.windows = started.message();
        return run;
    }
    DWORD start = GetTickCount();
    HWND pressed = NULL;
    for (;;) {
        std::string text, caption;
        HWND box = NextMessageBox(guard.child.pid, NULL, 0, pressed, &text);
        if (box != NULL) {
            WaitUntil([&] { return !(caption = WindowText(box)).empty(); }, 2000);
            run.messages.push_back(caption == expectedCaption ? text : caption + ": " + text);
            run.icons.push_back(MessageBoxHasIcon(box));
            PressMessageBox(box);
            pressed = box;
            continue;
        }
        if (WaitForSingleObject(guard.child.process, 20) == WAIT_OBJECT_0) {
            run.ended = true;
            GetExitCodeProcess(guard.child.process, &run.exitCode);
            break;
        }
        if (GetTickCount() - start > timeoutMs) {
            run.windows = "still running after " + std::to_string(timeoutMs) +
                          " ms, on screen: " + DescribeWindows(guard.child.pid);
            break;
        }
    }
    run.output = Output(guard.child) + UnixStderrSince(mark);
    return run;
}

std::string Joined(const std::vector<std::string> &messages)
{
    std::string all;
    for (const std::string &m : messages)
        all += "[" + m + "] ";
    return all.empty() ? "(none)" : all;
}

void ClickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string &text)
{
    std::wstring wide = Widen(text);
    SendW(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)wide.c_str());
}

HWND FocusedWindow(HWND dialog)
{
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, NULL);
    if (!GetGUIThreadInfo(thread, &info))
        return NULL;
    return info.hwndFocus;
}

void PressKey(HWND dialog, WORD virtualKey)
{
    HWND target = FocusedWindow(dialog);
    if (target == NULL)
        target = dialog;
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    if (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE)
        PostMessageA(target, WM_CHAR, virtualKey == VK_RETURN ? '\r' : 0x1B, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000);
}

const char UnreadableItem[] = "<unreadable>";

/* A list's text message has no size, and the item may change after its
 * length is read (the program refilling the box): the buffer has room for
 * the longest line either program shows (a notification of 65567 bytes).
 * A reading taken while the item changed (another length, or fewer
 * characters copied across the processes than the length says) is
 * unreadable, never a text the program did not show. */
static const LRESULT LongestItem = 65567;

static std::string ReadItem(HWND control, UINT lengthMessage, UINT textMessage, LRESULT index,
                            std::vector<wchar_t> &buffer)
{
    LRESULT length = SendW(control, lengthMessage, index, 0);
    if (length < 0)
        return UnreadableItem;
    buffer.resize((length > LongestItem ? length : LongestItem) + 1);
    std::fill(buffer.begin(), buffer.begin() + length + 1, L'\0');
    LRESULT got = SendW(control, textMessage, index, (LPARAM)buffer.data());
    if (got != length || (LRESULT)wcsnlen(buffer.data(), (size_t)length) != length)
        return UnreadableItem;
    return Narrow(buffer.data(), (int)got);
}

static std::vector<std::string> ReadItems(HWND control, UINT countMessage, UINT lengthMessage,
                                          UINT textMessage)
{
    std::vector<std::string> lines;
    std::vector<wchar_t> buffer;
    LRESULT count = SendW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; i++)
        lines.push_back(ReadItem(control, lengthMessage, textMessage, i, buffer));
    return lines;
}

std::vector<std::string> ListBoxLines(HWND listBox)
{
    return ReadItems(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string ListBoxLine(HWND listBox, int index)
{
    std::vector<wchar_t> buffer;
    std::string line = ReadItem(listBox, LB_GETTEXTLEN, LB_GETTEXT, index, buffer);
    return line == UnreadableItem ? "" : line;
}

std::vector<std::string> ComboBoxLines(HWND comboBox)
{
    return ReadItems(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ComboBoxSelection(HWND comboBox)
{
    return (int)SendW(comboBox, CB_GETCURSEL, 0, 0);
}

std::string ComboBoxSelectedText(HWND comboBox)
{
    int selection = ComboBoxSelection(comboBox);
    std::vector<std::string> lines = ComboBoxLines(comboBox);
    if (selection < 0 || selection >= (int)lines.size())
        return "";
    return lines[selection];
}

void ComboBoxSelect(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendW(combo, CB_SETCURSEL, index, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

} // namespace gv
