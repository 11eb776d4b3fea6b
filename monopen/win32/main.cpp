/*
 * main.cpp: the opener's entry point and its hidden main window.
 *
 * All the work happens while the main window is being created: the command
 * line is parsed, the logged-on user checked, and the settings dialog run
 * modally. When the dialog ends it posts WM_CLOSE_OPENER, the window
 * destroys itself and the message loop ends. The exit code is always 0.
 *
 * Globals: sets appInstance, isWin9x and mainWindow; reads
 * commandLineOptions (after the parse) for the user check.
 */
#include <windows.h>

#include "cmdline.h"
#include "dialog.h"
#include "faults.h"
#include "globals.h"
#include "report.h"
#include "resource.h"
#include "startcore.h"
#include "sysdll.h"

static const char OpenerClass[] = "CPanel";

enum { UserNameSize = 257 };

static bool CheckUser(HWND window)
{
    char userName[UserNameSize];
    DWORD size = sizeof userName;
    bool read = GetUserNameA(userName, &size) != 0;
    const char *message = CheckLoggedOnUser(read, userName);
    if (message == NULL)
        return true;
    ShowError(window, message);
    return false;
}

static LRESULT CreateOpener(HWND window)
{
    if (!ParseCommandLine(window))
        return -1;
    if (commandLineOptions.interactive && !CheckUser(window))
        return -1;
    INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_SETTINGS), window,
                                     SettingsDialogProc, 0);
    if (result == -1) {
        ShowError(window, TextNoWindow);
        return -1;
    }
    return 0;
}

static LRESULT CALLBACK OpenerWindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateOpener(window);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
    case WM_CLOSE_OPENER:
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static bool RegisterOpenerClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = 0;
    windowClass.lpfnWndProc = OpenerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = OpenerClass;
    return RegisterClassA(&windowClass) != 0;
}

static bool CreateOpenerWindow(HINSTANCE instance)
{
    appInstance = instance;
    mainWindow = CreateWindowExA(0, OpenerClass, OpenerCaption,
                                 WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                 100, 100, NULL, NULL, instance, NULL);
    return mainWindow != NULL;
}

static void NotePlatform(void)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (GetVersionExA(&version))
        isWin9x = IsWin9xVersion(version.dwPlatformId, version.dwMinorVersion);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand)
{
    (void)commandLine; /* read again through GetCommandLineA */
    (void)showCommand; /* the main window is never shown */
    LimitDllSearch();
    ArmInjectedFaults("GV_MONOPEN_FAULTS");
    NotePlatform();
    if (previousInstance == NULL && !RegisterOpenerClass(instance))
        return 0;
    if (!CreateOpenerWindow(instance))
        return 0;
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, NULL, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnregisterClassA(OpenerClass, instance);
    return (int)message.wParam;
}
