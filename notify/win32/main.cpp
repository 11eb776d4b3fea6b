/*
 * main.cpp: the notification window's entry point, its host table and its
 * main window.
 *
 * The main window is created with a token size; its creation fills the
 * host table from the command line and creates the pane dialog, which
 * sizes the window to itself and starts the pipe threads. Closing the
 * window starts the shutdown thread; the window is destroyed when that
 * thread closes the panes. The exit code is always 0.
 *
 * Globals: sets appInstance and mainWindow, fills hostTable, and closes the
 * three events on WM_DESTROY.
 */
#include <windows.h>

#include "computer.h"
#include "faults.h"
#include "globals.h"
#include "hostargs.h"
#include "panedlg.h"
#include "panes.h"
#include "pipes.h"
#include "resource.h"
#include "sysdll.h"

static const char NotifyClass[] = "GrdvNotify";

static ArgumentCursor argumentCursor;
/* Why each pane's name is not used; the pane dialog reports it. */
static RefusedName refusedNames[MaxHosts];

/* Fills the host table from the command line; true when at least one host
 * has a pipe to connect to. A refused name keeps its pane but its host
 * stays idle. */
static bool InitHostTable(void)
{
    hostTable.hostCount = 0;
    for (int index = 0; index < MaxHosts; index++)
        ResetHostEntry(&hostTable.entries[index], index);

    char computer[ComputerNameBufferSize];
    DWORD error = 0;
    const char *computerName = ReadComputerName(computer, &error) ? computer : NULL;

    bool any = false;
    for (int index = 0; index < MaxHosts; index++) {
        HostEntry *entry = &hostTable.entries[index];
        bool isLocal = false;
        if (!NextHostArgument(&argumentCursor, GetCommandLineA(), computerName, index == 0,
                              entry->hostName, &isLocal, &refusedNames[index]))
            continue;
        hostTable.hostCount++;
        if (FormatPipeName(entry->hostName, entry->pipeName, isLocal)) {
            entry->state = HostDisconnected;
            any = true;
        }
    }
    return any;
}

static LRESULT OpenPaneDialog(HWND window, int hostCount)
{
    int dialogId = hostCount == 1 ? IDD_ONE_PANE : IDD_TWO_PANES;
    if (InjectedFault("dialog"))
        dialogId = 0x7FFF; /* no such template */
    HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(dialogId), window,
                                     PaneDialogProc, (LPARAM)refusedNames);
    if (dialog == NULL) {
        ShowErrorBox(window, NULL, GetLastError(), -1);
        return -1;
    }
    paneDialog = dialog;
    return 0;
}

static void CloseEvent(HANDLE *event)
{
    if (*event != NULL)
        CloseHandle(*event);
    *event = NULL;
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        mainWindow = window;
        if (!InitHostTable()) {
            MessageBoxA(window, "No Gridvane computer defined.", NotifyCaption, MB_ICONERROR);
            return -1;
        }
        return OpenPaneDialog(window, hostTable.hostCount);
    case WM_CLOSE:
        StartShutdown();
        return 0;
    case WM_CLOSE_PANES:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        CloseHostPipes();
        PostQuitMessage(0);
        CloseEvent(&readerDone);
        CloseEvent(&connectorDone);
        CloseEvent(&connectWake);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static bool RegisterNotifyClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_NOTIFY));
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = NotifyClass;
    return RegisterClassA(&windowClass) != 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand)
{
    (void)commandLine; /* read again through GetCommandLineA */
    (void)showCommand; /* the window is created visible */
    LimitDllSearch();
    ArmInjectedFaults("GV_NOTIFY_FAULTS");
    appInstance = instance;
    if (previousInstance == NULL && !RegisterNotifyClass(instance))
        return 0;
    if (CreateWindowExA(0, NotifyClass, NotifyCaption, MainWindowStyle, 0, 0, 10, 10, NULL, NULL,
                        instance, NULL) == NULL)
        return 0;
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnregisterClassA(NotifyClass, instance);
    return (int)message.wParam;
}
