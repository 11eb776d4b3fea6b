/*
 * panes.cpp: the message panes (see panes.h). The bookkeeping decisions
 * are made by panecore; this file measures the lines and carries the
 * decisions out on the controls.
 *
 * Globals: the pane bookkeeping of hostTable, on the window thread.
 */
#include "panes.h"

#include <string.h>

#include "faults.h"
#include "globals.h"
#include "message.h"
#include "panecore.h"

static const char TextCancelled[] = "Connection cancelled.";

/*
 * Lines are added in runs (one line, or a reader's batch): while a run is
 * added the list box does not redraw, and the lines are measured with one
 * DC that holds the list box's font. At the end the newest line is
 * selected and scrolled into view and the list box redrawn once, so it
 * shows what it would have shown after adding the lines one by one.
 */
struct LineRun {
    HWND dialog;
    HWND list;
    int host;
    HDC dc;                 /* NULL: lines measure 0 wide */
    HGDIOBJ previousFont;   /* NULL: no font was selected */
    LONG averageCharWidth;
    bool added;             /* a line was added: select the newest at the end */
    bool open;
};

static void BeginRun(LineRun *run, HWND dialog, int host)
{
    HostEntry *entry = &hostTable.entries[host];
    run->dialog = dialog;
    run->list = GetDlgItem(dialog, entry->listBoxId);
    run->host = host;
    run->previousFont = NULL;
    run->averageCharWidth = 0;
    run->added = false;
    run->open = true;
    SendMessageA(run->list, WM_SETREDRAW, FALSE, 0);
    run->dc = GetDC(dialog);
    if (run->dc == NULL)
        return;
    HFONT font = (HFONT)SendMessageA(run->list, WM_GETFONT, 0, 0);
    if (font != NULL)
        run->previousFont = SelectObject(run->dc, font);
    TEXTMETRICA metrics;
    ZeroMemory(&metrics, sizeof metrics);
    GetTextMetricsA(run->dc, &metrics);
    run->averageCharWidth = metrics.tmAveCharWidth;
}

static void EndRun(LineRun *run)
{
    if (!run->open)
        return;
    run->open = false;
    if (run->dc != NULL) {
        if (run->previousFont != NULL)
            SelectObject(run->dc, run->previousFont);
        ReleaseDC(run->dialog, run->dc);
    }
    if (run->added) {
        LRESULT newest = SendMessageA(run->list, LB_GETCOUNT, 0, 0) - 1;
        SendMessageA(run->list, LB_SETCURSEL, (WPARAM)newest, 0);
        /* Windows scrolls the selected line into view; Wine refuses the
         * selection in a list without one, so the newest line is also
         * brought into view here. The list box keeps its last page full,
         * so the newest line ends up at the bottom. */
        SendMessageA(run->list, LB_SETTOPINDEX, (WPARAM)newest, 0);
    }
    SendMessageA(run->list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(run->list, NULL, TRUE);
}

/* The width of the line in the run's DC: its extent and one average
 * character, or 0 when it cannot be measured. */
static int32_t RunLineWidth(const LineRun *run, const char *text)
{
    SIZE extent;
    if (run->dc == NULL || !GetTextExtentPoint32A(run->dc, text, (int)strlen(text), &extent))
        return 0;
    return extent.cx + run->averageCharWidth;
}

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

/* True when the list box refuses the line, with the code in *error. */
static bool ListRefusedLine(HWND list, int host, const char *text, DWORD *error)
{
    if (InjectedFault(host == 0 ? "addline0" : "addline1")) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return true;
    }
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text);
    *error = GetLastError();
    return index == LB_ERR || index == LB_ERRSPACE;
}

/* One line of a run; a line the list box refuses freezes the pane and
 * ends the run before the error box goes up. */
static void AddRunLine(LineRun *run, const char *text)
{
    HostEntry *entry = &hostTable.entries[run->host];
    PanePlan plan = PlanPaneLine(entry);
    if (plan.prune)
        PrunePane(run->list, plan);
    int32_t count = (int32_t)SendMessageA(run->list, LB_GETCOUNT, 0, 0);
    int32_t width = RunLineWidth(run, text);
    if (NotePaneLineWidth(entry, count, width))
        SendMessageA(run->list, LB_SETHORIZONTALEXTENT, (WPARAM)entry->paneExtent, 0);
    DWORD code = 0;
    if (ListRefusedLine(run->list, run->host, text, &code)) {
        /* Frozen before the box goes up: lines sent meanwhile are dropped. */
        entry->paneEnabled = false;
        EndRun(run);
        ShowErrorBox(run->dialog, TextLineNotAdded, code, run->host);
        return;
    }
    run->added = true;
}

void AddPaneLine(HWND dialog, int host, const char *text)
{
    LineRun run;
    BeginRun(&run, dialog, host);
    AddRunLine(&run, text);
    EndRun(&run);
}

void CarryOutPaneLine(HWND dialog, int host, const char *text)
{
    if (host < 0 || host >= MaxHosts || !hostTable.entries[host].paneEnabled)
        return;
    AddPaneLine(dialog, host, text);
}

void CarryOutPaneBatch(HWND dialog, const PaneBatch *batch)
{
    int host = batch->host;
    if (batch->lineCount == 0 || host < 0 || host >= MaxHosts ||
        !hostTable.entries[host].paneEnabled)
        return;
    LineRun run;
    BeginRun(&run, dialog, host);
    for (int i = 0; i < batch->lineCount && hostTable.entries[host].paneEnabled; i++)
        AddRunLine(&run, PaneBatchLine(batch, i));
    EndRun(&run);
}

void SendPaneBatch(HWND dialog, PaneBatch *batch)
{
    if (batch->lineCount > 0)
        SendMessageA(dialog, WM_PANE_LINES, 0, (LPARAM)batch);
    ClearPaneBatch(batch);
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

/* A line for a batch, or at once without one. */
static void QueuePaneLine(HWND dialog, int host, const char *text, PaneBatch *batch)
{
    if (batch == NULL) {
        SendPaneLine(dialog, host, text);
        return;
    }
    if (AppendPaneBatch(batch, host, text))
        return;
    SendPaneBatch(dialog, batch);
    AppendPaneBatch(batch, host, text); /* any one line fits an empty batch */
}

void ReportLostMessages(HWND dialog, uint32_t missing, int host, PaneBatch *batch)
{
    char line[PaneLineSize];
    FormatLostMessagesLine(line, missing);
    QueuePaneLine(dialog, host, line, batch);
}

void AddHostMessage(HWND dialog, const char *text, int host, PaneBatch *batch)
{
    QueuePaneLine(dialog, host, text, batch);
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
    /* A base system that sends a heartbeat would otherwise grow the list
     * for as long as the connection lasts. */
    while (SendDlgItemMessageA(dialog, combo, CB_GETCOUNT, 0, 0) >= StatusMaxMessages) {
        if (SendDlgItemMessageA(dialog, combo, CB_DELETESTRING, 0, 0) == CB_ERR)
            break;
    }
    SendDlgItemMessageA(dialog, combo, CB_ADDSTRING, 0, (LPARAM)text);
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, 0, 0);
}

void SetReconnectFlag(int host)
{
    hostTable.entries[host].wasConnected = true;
}
