/*
 * bareclient.cpp: the plainest client of a monitor pipe, the yardstick of
 * the opener's "-default": open the local pipe, message mode, write the
 * default monitor's request, read the two replies, close, end.
 *
 * Built twice: bare_client.exe imports kernel32 alone; bare_window_client.exe
 * (GV_BARE_WINDOW) first creates one hidden top-level window, as every
 * program with a window must, which under Wine loads the window system.
 *
 *   bare_client.exe
 *   bare_window_client.exe
 */
#include <windows.h>

static const char Request[] =
    "RTD LVS KPX_MS_WINDOWS_APPLICATION=0\0KPX_MS_WINDOWS_MONITOR=0\0"
    "KPX_X_TERMINAL_FONT=family:Gridvane0810-size:10\0"
    "FONT=family:MS Sans Serif-size:8-face:medium\0DISPLAY=\0";

#ifdef GV_BARE_WINDOW
static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
#ifdef GV_BARE_WINDOW
    {
        WNDCLASSA windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "BareClient";
        RegisterClassA(&windowClass);
    }
    HWND window = CreateWindowExA(0, "BareClient", "bare client", 0, 0, 0, 10, 10, NULL, NULL,
                                  instance, NULL);
    if (window == NULL)
        return 4;
#else
    (void)instance;
#endif
    HANDLE pipe = CreateFileA("\\\\.\\pipe\\KPX\\PIPE_monts", GENERIC_READ | GENERIC_WRITE, 0,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (pipe == INVALID_HANDLE_VALUE)
        return 2;
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, NULL, NULL);
    DWORD written = 0;
    int code = 3;
    if (WriteFile(pipe, Request, sizeof Request - 1, &written, NULL)) {
        char reply[1025];
        DWORD got = 0;
        if (ReadFile(pipe, reply, 1024, &got, NULL) && ReadFile(pipe, reply, 1024, &got, NULL))
            code = 0;
    }
    CloseHandle(pipe);
#ifdef GV_BARE_WINDOW
    DestroyWindow(window);
#endif
    return code;
}
