/*
 * dialog.cpp: the settings dialog: presets, which controls each monitor
 * type enables, reading the entries back, and the OK sequence. The rules
 * themselves are in dialogcore.cpp.
 *
 * Globals: reads commandLineOptions and pictureSizeIndex, and hands
 * commandLineOptions and its -r budget to the open-monitor sequence. The
 * entries are read into the record the caller of ReadSettingsDialog names.
 */
#include "dialog.h"

#include <stdio.h>

#include "computer.h"
#include "netcore.h"
#include "textbuf.h"
#include "dialogcore.h"
#include "globals.h"
#include "openmon.h"
#include "resource.h"

/* The mode the buttons show: "in use" first, then the checked type. */
static int ModeFromButtons(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_IN_USE) == BST_CHECKED)
        return ModePredefined;
    if (IsDlgButtonChecked(dialog, IDC_TYPE_VS_LOCAL) == BST_CHECKED)
        return MonitorVsLocal;
    if (IsDlgButtonChecked(dialog, IDC_TYPE_VS_REMOTE) == BST_CHECKED)
        return MonitorVsRemote;
    return MonitorX;
}

static void UpdateDialogControls(int mode, HWND dialog, const CommandLineOptions *options)
{
    bool startOptions = options->startService || options->startAsLogonUser;
    for (size_t i = 0; i < ModeControlCount(); i++) {
        int id = ModeControlAt(i);
        EnableWindow(GetDlgItem(dialog, id), ControlEnabledInMode(id, mode, startOptions));
    }
}

static void FillNumberCombo(HWND dialog, int id, unsigned last)
{
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM) "Default");
    for (unsigned n = 1; n <= last; n++) {
        char text[16];
        snprintf(text, sizeof text, "%u", n);
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, 0, 0);
}

static void InitSettingsDialog(HWND dialog, int initialType, const CommandLineOptions *options)
{
    CheckRadioButton(dialog, IDC_TYPE_VS_REMOTE, IDC_TYPE_X, IDC_TYPE_VS_LOCAL);
    UpdateDialogControls(initialType, dialog, options);
    /* Entries never longer than the settings that hold them: a cut node
     * name would ask another computer. */
    SendDlgItemMessageA(dialog, IDC_NODE, EM_LIMITTEXT, NodeNameMax, 0);
    SendDlgItemMessageA(dialog, IDC_DISPLAY, EM_LIMITTEXT, DisplaySize - 1, 0);
    SendDlgItemMessageA(dialog, IDC_PRINTER, EM_LIMITTEXT, PrinterSize - 1, 0);

    if (PictureSizeText(pictureSizeIndex) == NULL)
        pictureSizeIndex = 1;
    for (int index = 1; index <= PictureSizeCount; index++)
        SendDlgItemMessageA(dialog, IDC_PICTURE_SIZE, CB_ADDSTRING, 0,
                            (LPARAM)PictureSizeText(index));
    SendDlgItemMessageA(dialog, IDC_PICTURE_SIZE, CB_SETCURSEL, pictureSizeIndex - 1, 0);

    FillNumberCombo(dialog, IDC_APPLICATION_MONITOR, ApplicationMonitorMax);
    FillNumberCombo(dialog, IDC_APPLICATION, ApplicationMax);

    char computer[ComputerNameBufferSize];
    DWORD error = 0;
    if (ReadComputerName(computer, &error)) {
        SetDlgItemTextA(dialog, IDC_NODE, computer);
        char display[ComputerNameBufferSize + 2];
        FormatText(display, sizeof display, "%s:0", computer);
        SetDlgItemTextA(dialog, IDC_DISPLAY, display);
    } else {
        SetDlgItemTextA(dialog, IDC_DISPLAY, DefaultDisplay);
    }
    SetDlgItemTextA(dialog, IDC_PRINTER, DefaultPrinter);
}

/* A number combo read back; above its limit (compared unsigned, so that a
 * huge value is caught too) it beeps and shows the limit instead. The
 * stored value stays the one typed; false then. */
static bool ReadNumberField(HWND dialog, int id, UINT limit, int32_t *value)
{
    UINT typed = GetDlgItemInt(dialog, id, NULL, FALSE);
    *value = (int32_t)typed;
    if (typed <= limit)
        return true;
    MessageBeep(MB_ICONEXCLAMATION);
    SetDlgItemInt(dialog, id, limit, FALSE);
    return false;
}

bool ReadSettingsDialog(HWND dialog, MonitorSettings *settings)
{
    if (IsDlgButtonChecked(dialog, IDC_IN_USE) == BST_CHECKED) {
        settings->monitorType = MonitorPredefined;
        settings->settingNumber = (int32_t)GetDlgItemInt(dialog, IDC_SETTING_NUMBER, NULL, FALSE);
        GetDlgItemTextA(dialog, IDC_NODE, settings->nodeName, sizeof settings->nodeName);
        return true;
    }
    if (IsDlgButtonChecked(dialog, IDC_TYPE_VS_LOCAL) == BST_CHECKED)
        settings->monitorType = MonitorVsLocal;
    else if (IsDlgButtonChecked(dialog, IDC_TYPE_VS_REMOTE) == BST_CHECKED)
        settings->monitorType = MonitorVsRemote;
    else
        settings->monitorType = MonitorX;

    bool inRange = ReadNumberField(dialog, IDC_APPLICATION_MONITOR, ApplicationMonitorMax,
                                   &settings->applicationMonitorNumber);
    inRange = ReadNumberField(dialog, IDC_APPLICATION, ApplicationMax,
                              &settings->applicationNumber) && inRange;

    char typed[PrinterSize];
    GetDlgItemTextA(dialog, IDC_PRINTER, typed, sizeof typed);
    NormalizePrinter(typed, settings->printer, sizeof settings->printer);

    GetDlgItemTextA(dialog, IDC_NODE, settings->nodeName, sizeof settings->nodeName);

    char display[DisplaySize];
    GetDlgItemTextA(dialog, IDC_DISPLAY, display, sizeof display);
    NormalizeDisplay(display, settings->display, sizeof settings->display);

    char size[TerminalFontSize];
    GetDlgItemTextA(dialog, IDC_PICTURE_SIZE, size, sizeof size);
    const char *font = TerminalFontFor(PictureSizeIndexOf(size), settings->monitorType);
    if (font != NULL)
        CopyText(settings->terminalFont, sizeof settings->terminalFont, font);
    return inRange;
}

static void EndSettingsDialog(HWND dialog)
{
    PostMessageA(GetParent(dialog), WM_CLOSE_OPENER, 0, 0);
    EndDialog(dialog, 1);
}

static void RunOkSequence(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    if (OpenMonitor(dialog, &commandLineOptions, &commandLineOptions.retryCount))
        EndSettingsDialog(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        if (commandLineOptions.monitorFromDialog == 1 && !commandLineOptions.useDefault) {
            InitSettingsDialog(dialog, MonitorVsLocal, &commandLineOptions);
        } else {
            OpenMonitor(dialog, &commandLineOptions, &commandLineOptions.retryCount);
            EndSettingsDialog(dialog);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            RunOkSequence(dialog);
            return TRUE;
        case IDCANCEL:
            EndSettingsDialog(dialog);
            return TRUE;
        default:
            break;
        }
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_TYPE_VS_LOCAL:
            UpdateDialogControls(MonitorVsLocal, dialog, &commandLineOptions);
            break;
        case IDC_TYPE_VS_REMOTE:
            UpdateDialogControls(MonitorVsRemote, dialog, &commandLineOptions);
            break;
        case IDC_TYPE_X:
            UpdateDialogControls(MonitorX, dialog, &commandLineOptions);
            break;
        case IDC_IN_USE:
            UpdateDialogControls(ModeFromButtons(dialog), dialog, &commandLineOptions);
            break;
        default:
            break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
