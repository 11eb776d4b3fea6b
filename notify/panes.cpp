/*
 * panes.cpp: the message panes (see panes.h). The bookkeeping decisions
 * are made by panecore; this file measures the lines and carries the
 * decisions out on the controls.
 */
#include "panes.h"

#include <string.h>

#include "faults.h"
#include "globals.h"
#include "message.h"
#include "panecore.h"

static const char TextCancelled[] = "Connection cancelled.";

static void PrunePane(HWND list, const PanePlan &plan)
{
    if (plan.setExtent)
        SendMessageA(list, LB_SETHORIZONTALEXTENT, (WPARAM)plan.extent, 0);
    for (int i = 0; i < PanePruneLines; i++)
        SendMessageA(list, LB_DELETESTRING, 0, 0);
    char first[PaneLineSize];
    char second[PaneLineSize];
    FormatPruneNotices(first, second);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)first);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)second);
}

static bool ListRefusedLine(HWND list, int host, const char *text)
{
    if (InjectedFault(host == 0 ? "addline0" : "addline1")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return true;
    }
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text);
    return index == LB_ERR || index == LB_ERRSPACE;
}

void AddPaneLine(HWND dialog, int host, const char *text)
{
    HostEntry *entry = &hostTable.entries[host];
    HWND list = GetDlgItem(dialog, entry->listBoxId);
    PanePlan plan = PlanPaneLine(entry);
    if (plan.prune)
        PrunePane(list, plan);
    int32_t count = (int32_t)SendMessageA(list, LB_GETCOUNT, 0, 0);
    int32_t width = MeasureLineWidth(dialog, entry->listBoxId, text);
    if (NotePaneLineWidth(entry, count, width))
        SendMessageA(list, LB_SETHORIZONTALEXTENT, (WPARAM)entry->paneExtent, 0);
    if (ListRefusedLine(list, host, text)) {
        DWORD code = GetLastError();
        /* Frozen before the box goes up: lines sent meanwhile are dropped. */
        entry->paneEnabled = false;
        ShowErrorBox(dialog, TextLineNotAdded, code, host);
        return;
    }
    LRESULT newest = SendMessageA(list, LB_GETCOUNT, 0, 0) - 1;
    SendMessageA(list, LB_SETCURSEL, (WPARAM)newest, 0);
}

void CarryOutPaneLine(HWND dialog, int host, const char *text)
{
    if (host < 0 || host >= MaxHosts || !hostTable.entries[host].paneEnabled)
        return;
    AddPaneLine(dialog, host, text);
}

static void SendPaneLine(HWND dialog, int host, const char *line)
{
    SendMessageA(dialog, WM_PANE_LINE, (WPARAM)host, (LPARAM)line);
}

void ReportToPanes(HWND dialog, const char *text, DWORD code, int host)
{
    char line[PaneLineSize];
    FormatReportLine(line, text, code);
    SendPaneLine(dialog, host, line);
}

void ReportLostMessages(HWND dialog, uint32_t missing, int host)
{
    char line[PaneLineSize];
    FormatLostMessagesLine(line, missing);
    SendPaneLine(dialog, host, line);
}

void AddHostMessage(HWND dialog, const char *text, int host)
{
    SendPaneLine(dialog, host, text);
}

void ShowErrorBox(HWND owner, const char *text, DWORD code, int host)
{
    char message[ErrorBoxTextSize];
    FormatErrorBoxText(message, sizeof message, host >= 0 ? hostTable.entries[host].hostName : NULL,
                       text, code);
    MessageBoxA(owner, message, NotifyCaption, MB_ICONERROR);
}

void ClearPane(HWND dialog, int host)
{
    HostEntry *entry = &hostTable.entries[host];
    HWND list = GetDlgItem(dialog, entry->listBoxId);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 0, 0);
    SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    ResetPaneBook(entry);
}

void ShowConnectStatus(HWND dialog, int host, bool add)
{
    HostEntry *entry = &hostTable.entries[host];
    if (!add) {
        SendDlgItemMessageA(dialog, entry->comboBoxId, CB_RESETCONTENT, 0, 0);
        return;
    }
    const char *text = NextConnectStatus(entry);
    SendDlgItemMessageA(dialog, entry->comboBoxId, CB_ADDSTRING, 0, (LPARAM)text);
    SendDlgItemMessageA(dialog, entry->comboBoxId, CB_SETCURSEL, 0, 0);
}

void ShowCancelled(HWND dialog, int host)
{
    int combo = hostTable.entries[host].comboBoxId;
    SendDlgItemMessageA(dialog, combo, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dialog, combo, CB_ADDSTRING, 0, (LPARAM)TextCancelled);
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, 0, 0);
}

void AddStatusMessage(HWND dialog, const char *text, int host, char kind)
{
    if (!IsStatusKind(kind))
        return;
    int combo = hostTable.entries[host].comboBoxId;
    SendDlgItemMessageA(dialog, combo, CB_ADDSTRING, 0, (LPARAM)text);
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, 0, 0);
}

void SetReconnectFlag(int host)
{
    hostTable.entries[host].wasConnected = true;
}

int32_t MeasureLineWidth(HWND dialog, int listBoxId, const char *text)
{
    HDC dc = GetDC(dialog);
    if (dc == NULL)
        return 0;
    HFONT font = (HFONT)SendDlgItemMessageA(dialog, listBoxId, WM_GETFONT, 0, 0);
    HGDIOBJ previous = font != NULL ? SelectObject(dc, font) : NULL;
    TEXTMETRICA metrics;
    ZeroMemory(&metrics, sizeof metrics);
    GetTextMetricsA(dc, &metrics);
    SIZE extent;
    int32_t width = 0;
    if (GetTextExtentPoint32A(dc, text, (int)strlen(text), &extent))
        width = extent.cx + metrics.tmAveCharWidth;
    if (font != NULL)
        SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    return width;
}
