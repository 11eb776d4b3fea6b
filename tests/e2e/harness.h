/*
 * harness.h: driving the real programs under test as an operator would:
 * start them, find their message boxes and dialogs, read and press their
 * controls, and wait for them to end. Every wait is bounded.
 *
 * Windows of other processes are read with the W messages and converted to
 * the ANSI code page, which works across processes under Wine as well.
 */
#ifndef GV_TESTS_HARNESS_H
#define GV_TESTS_HARNESS_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gv {

/* Time bounds are the programs' pauses (notify/core/timing.h, monopen/core/timing.h)
 * plus LoadMarginMs for a loaded machine, or, below, less TickSlackMs when the start is
 * an event noted a moment late; a program's first window under Wine, ProgramStartMs.
 * Waits look again every PollMs. */
enum { LoadMarginMs = 2000, TickSlackMs = 250, PollMs = 20, ProgramStartMs = 10000 };

/* What waits return: a failure names expected and seen at the test's line. */
typedef ::testing::AssertionResult Outcome;

/* ---- files and paths ---- */

/* The environment variable's value; "" when it is not set (or longer
 * than 1023 characters). */
std::string EnvironmentText(const char *name);

/* Directory of the test programs, with a trailing backslash. */
std::string BinDir();
std::string BinPath(const std::string &name);
/* A program as it ships (monopen.exe, notify.exe): from the folder named by
 * GV_SHIPPED_DIR when that is set, else the build beside the tests. */
std::string ShippedPath(const std::string &name);
std::string ReadFileText(const std::string &path);
bool WriteFileText(const std::string &path, const std::string &text);
bool FileExists(const std::string &path);
bool MakeDirectories(const std::string &path);
/* Deletes a directory tree; true when it is gone. */
bool RemoveTree(const std::string &path);
/* Copies a program whose dialog template of that number is not to be
 * found, to see what it does when that dialog cannot be created. */
bool CopyWithoutDialog(const std::string &from, const std::string &to, int dialogId);
/* Lines of a text, without their line ends. */
std::vector<std::string> SplitLines(const std::string &text);

/* This computer's name as the programs read it, and a name that is surely
 * another computer's: both programs count any name that begins with this
 * computer's name as this computer. */
std::string ComputerName();
std::string OtherHostName(const char *suffix = "");

/* ---- Wine or Windows ---- */

/* Are the tests running under Wine? Asked of ntdll at run time (Wine's
 * exports wine_get_version, Windows' does not). */
bool RunningUnderWine();

/* For a test that changes what a real machine keeps beyond the test's own
 * files and keys (its services, the window station's and desktop's DACL,
 * the system directory): run it only under Wine, and say so when it is
 * skipped on Windows. */
#define GV_ONLY_UNDER_WINE(what)                                                           \
    do {                                                                                   \
        if (!::gv::RunningUnderWine())                                                     \
            GTEST_SKIP() << "not run on Windows: it would change " << (what)               \
                         << " of this machine; it runs under Wine";                        \
    } while (0)

/* ---- processes ---- */

struct Child {
    HANDLE process = NULL;
    DWORD pid = 0;
    std::string outputPath; /* stdout and stderr, when captured */
};

struct StartOptions {
    std::string currentDir;        /* empty: the test's own */
    bool captureOutput = false;    /* stdout and stderr to a file */
    std::vector<std::string> env;  /* NAME=value entries added or replaced */
};

/* Starts "exe" arguments; the program path goes in double quotes. The
 * mouse pointer is moved out of the way first (see harness.cpp). */
Outcome Start(Child &child, const std::string &exe, const std::string &arguments,
           const StartOptions &options = StartOptions());
/* Waits for the end; on time-out kills the child and fails, naming what
 * was on screen. */
Outcome WaitExit(Child &child, DWORD timeoutMs, DWORD *exitCode);
Outcome WaitExitCode(Child &child, DWORD timeoutMs, DWORD expected);
bool IsRunning(const Child &child);
void Kill(Child &child);
/* Closes the handle; a child still running is killed first. */
void Release(Child &child);
std::string Output(const Child &child);

/* Kills the child when the test leaves its scope, whatever happened. */
struct ChildGuard {
    Child child;
    ~ChildGuard() { Release(child); }
};

/* ---- evidence of a failed test ----
 * When GV_EVIDENCE_DIR names a folder, the first failure of a test leaves
 * in its subfolder Suite.Test: windows.txt (the processes, their threads
 * and every window on the display), screen.png (the display), and
 * backtraces.txt and unix-stacks.txt (Wine's debugger and gdb on the
 * programs still running); the test's end adds wine-stderr.log, Wine's
 * debug output since the test began (evidence.cpp, built into each test
 * program). */

/* ---- Wine's debug output ----
 * Wine writes the debug channels of a GUI program (WINEDEBUG in its
 * environment) to the Unix stderr it inherited, not to its standard
 * handles. The test entries run the test programs with that stderr
 * appended to a file named by GV_UNIX_STDERR; these read it. */
size_t MarkUnixStderr();
std::string UnixStderrSince(size_t mark);

/* ---- windows of a process ---- */

/* SendMessageTimeoutW with a 5 s bound; -1 when it failed. */
LRESULT SendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

std::string WindowText(HWND window);
/* The caption as the window manager keeps it, read without a message to
 * the window's thread: shown even when that thread does not answer. */
std::string StoredWindowText(HWND window);
std::string ClassName(HWND window);
std::string ItemText(HWND dialog, int id);
bool ItemEnabled(HWND dialog, int id);
bool ItemChecked(HWND dialog, int id);
DWORD WindowStyle(HWND window);

/* A visible top-level window of the process with that class and caption
 * (NULL caption: any), or NULL after the time-out. */
HWND WaitForWindow(DWORD pid, const char *className, const char *caption, DWORD timeoutMs);
/* The same, visible or hidden, looked up once. */
HWND ProcessWindow(DWORD pid, const char *className, const char *caption);

/* A message box (dialog class, text control 0xFFFF) with that caption. */
HWND WaitForMessageBox(DWORD pid, const char *caption, DWORD timeoutMs);

/* Does the message box show an icon (MB_ICONHAND and the like)? */
bool MessageBoxHasIcon(HWND box);

/* The box's text, once it is set (it may show a moment before); "" when
 * the box goes away first. */
std::string MessageBoxText(HWND box);

/* Presses the box's OK (or only) button and waits until it has gone. */
void PressMessageBox(HWND box);

/* Waits for a message box, reads its text and presses its OK (or only)
 * button. Returns the text, or "" when none came. */
std::string DismissMessageBox(DWORD pid, const char *caption, DWORD timeoutMs);

/* What a program did when run to its end. */
struct ProgramRun {
    bool ended = false;                /* false: killed at the time-out */
    DWORD exitCode = 0;
    std::vector<std::string> messages; /* texts of its message boxes, in order */
    std::vector<bool> icons;           /* whether each box showed an icon */
    std::string output;                /* stdout and stderr when captured, then
                                          Wine's debug output from the start */
    std::string windows;               /* what was on screen at a time-out */
};

/* Runs the program until it ends, pressing OK in every message box it
 * shows. Boxes with another caption than expectedCaption are recorded as
 * "caption: text". */
ProgramRun RunToEnd(const std::string &exe, const std::string &arguments,
                    const StartOptions &options, const char *expectedCaption, DWORD timeoutMs);

/* The messages joined, for failure output. */
std::string Joined(const std::vector<std::string> &messages);

/* Every visible top-level window of the process, for failure messages; a
 * window whose thread does not answer is marked so. */
std::string DescribeWindows(DWORD pid);

/* A visible dialog of the process with that caption that has the control
 * (so that a message box with the same caption is not taken for it). */
HWND WaitForDialog(DWORD pid, const char *caption, int controlId, DWORD timeoutMs);

/* A control's place in dialog units (x, y, width, height), worked out from
 * the dialog's client area, which the template makes widthUnits by
 * heightUnits: the check of a template's layout that needs no font. */
struct UnitRect {
    int x, y, width, height;
};
UnitRect PlaceInDialogUnits(HWND dialog, int widthUnits, int heightUnits, HWND control);

/* The texts of the dialog's controls in template order, joined with "|". */
std::string ControlTexts(HWND dialog);

/* Clicks the control itself (BM_CLICK): check boxes and radio buttons
 * change their state and notify the dialog as under the mouse. */
void ClickControl(HWND dialog, int id);

/* Sends BN_CLICKED for the control, as a click would. */
void ClickButton(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string &text);
/* Posts a key press (down and up) to the window that has the focus in the
 * thread owning the dialog. */
void PressKey(HWND dialog, WORD virtualKey);
/* The window that has the keyboard focus in the thread owning the dialog. */
HWND FocusedWindow(HWND dialog);

/* Stands for a line that vanished while the list was being read. */
extern const char UnreadableItem[];
std::vector<std::string> ListBoxLines(HWND listBox);
/* One line of a list box ("" when there is no such line): reading a long
 * list whole takes one message per line. */
std::string ListBoxLine(HWND listBox, int index);
std::vector<std::string> ComboBoxLines(HWND comboBox);
int ComboBoxSelection(HWND comboBox);
std::string ComboBoxSelectedText(HWND comboBox);
void ComboBoxSelect(HWND dialog, int id, int index);

/* The text in lower case. */
std::string Lower(std::string text);

/* Polls the condition every PollMs until it holds or the time is up. */
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(PollMs);
    }
}

/* WaitUntil that on time-out names what was expected and seen(). */
template <typename Condition, typename Seen>
Outcome WaitFor(Condition condition, DWORD timeoutMs, const std::string &expected, Seen seen)
{
    if (WaitUntil(condition, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << " within " << timeoutMs
                                         << " ms, seen " << seen();
}

} // namespace gv

#endif
