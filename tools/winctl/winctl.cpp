/*
 * winctl.cpp: a small console program that drives the windows of other
 * programs from a script, as a person at the screen would: wait for a
 * window, press one of its buttons, close it, or tell where it is on the
 * screen (for a screenshot). Windows are found by their caption among the
 * visible top-level windows; "--with ID" picks the one that has a control
 * with that id (a dialog, rather than a message box with the same caption).
 *
 *   winctl wait  [--with ID] [--timeout S] CAPTION
 *   winctl gone  [--with ID] [--timeout S] CAPTION
 *   winctl rect  [--with ID] [--timeout S] CAPTION
 *   winctl click [--with ID] [--timeout S] CAPTION BUTTON-ID
 *   winctl close [--with ID] [--timeout S] CAPTION
 *   winctl list
 *
 * Exit code 0 when done, 1 when the window did not come (or go) in time,
 * 2 for a wrong command line.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { TextSize = 512, PollMs = 50, MessageBoxTextId = 0xFFFF };

struct Search {
    const char *caption; /* NULL: every visible window (list) */
    int withId;          /* 0: any */
    HWND found;
};

/* The text of a window of any process (WM_GETTEXT with a time bound). */
static void ReadText(HWND window, char *text, size_t size)
{
    wchar_t wide[TextSize];
    DWORD_PTR length = 0;
    text[0] = '\0';
    if (!SendMessageTimeoutW(window, WM_GETTEXT, TextSize, (LPARAM)wide, SMTO_ABORTIFHUNG, 2000,
                             &length))
        return;
    int n = WideCharToMultiByte(CP_ACP, 0, wide, (int)length, text, (int)size - 1, NULL, NULL);
    text[n > 0 ? n : 0] = '\0';
}

static BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    Search *search = (Search *)parameter;
    if (!IsWindowVisible(window))
        return TRUE;
    char caption[TextSize];
    ReadText(window, caption, sizeof caption);
    if (strcmp(caption, search->caption) != 0)
        return TRUE;
    if (search->withId != 0 && GetDlgItem(window, search->withId) == NULL)
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND Find(const char *caption, int withId)
{
    Search search = {caption, withId, NULL};
    EnumWindows(Match, (LPARAM)&search);
    return search.found;
}

/* Waits until the window is there (present) or gone (!present). */
static HWND WaitFor(const char *caption, int withId, bool present, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = Find(caption, withId);
        if ((window != NULL) == present)
            return window != NULL ? window : (HWND)1;
        if (GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(PollMs);
    }
}

static BOOL CALLBACK Describe(HWND window, LPARAM parameter)
{
    (void)parameter;
    if (!IsWindowVisible(window))
        return TRUE;
    char caption[TextSize];
    char className[128] = "";
    ReadText(window, caption, sizeof caption);
    GetClassNameA(window, className, sizeof className);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    printf("process %lu: %s \"%s\"", (unsigned long)pid, className, caption);
    HWND text = GetDlgItem(window, MessageBoxTextId);
    if (text != NULL) {
        char message[TextSize];
        ReadText(text, message, sizeof message);
        printf(" says \"%s\"", message);
    }
    printf("\n");
    return TRUE;
}

static int Usage(void)
{
    fputs("usage: winctl wait|gone|rect|close [--with ID] [--timeout S] CAPTION\n"
          "       winctl click [--with ID] [--timeout S] CAPTION BUTTON-ID\n"
          "       winctl list\n",
          stderr);
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    const char *command = argv[1];
    if (strcmp(command, "list") == 0) {
        EnumWindows(Describe, 0);
        return 0;
    }
    int withId = 0;
    DWORD timeoutMs = 10000;
    int i = 2;
    for (; i + 1 < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (strcmp(argv[i], "--with") == 0)
            withId = atoi(argv[i + 1]);
        else if (strcmp(argv[i], "--timeout") == 0)
            timeoutMs = (DWORD)(atof(argv[i + 1]) * 1000);
        else
            return Usage();
    }
    bool click = strcmp(command, "click") == 0;
    if (i + (click ? 2 : 1) != argc)
        return Usage();
    const char *caption = argv[i];

    if (strcmp(command, "gone") == 0) {
        if (WaitFor(caption, withId, false, timeoutMs) != NULL)
            return 0;
        fprintf(stderr, "winctl: \"%s\" is still there\n", caption);
        return 1;
    }
    HWND window = WaitFor(caption, withId, true, timeoutMs);
    if (window == NULL) {
        fprintf(stderr, "winctl: no window \"%s\"\n", caption);
        return 1;
    }
    if (strcmp(command, "wait") == 0)
        return 0;
    if (strcmp(command, "rect") == 0) {
        RECT r;
        if (!GetWindowRect(window, &r))
            return 1;
        printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
        return 0;
    }
    if (strcmp(command, "close") == 0)
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (click) {
        int id = atoi(argv[i + 1]);
        HWND button = GetDlgItem(window, id);
        if (button == NULL) {
            fprintf(stderr, "winctl: \"%s\" has no control %d\n", caption, id);
            return 1;
        }
        /* Posted, as a click would be: the program may take its time. */
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) ? 0
                                                                                             : 1;
    }
    return Usage();
}
