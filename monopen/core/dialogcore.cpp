/*
 * dialogcore.cpp: rules of the settings dialog (see dialogcore.h).
 */
#include "dialogcore.h"

#include <string.h>

#include "options.h"
#include "resource.h"
#include "textbuf.h"

const char DefaultPrinter[] = "LPT1:";
const char DefaultDisplay[] = "localpc:0";

static const char *const pictureSizes[PictureSizeCount] = {
    "640 by 480 pixels", "960 by 720 pixels", "1280 by 960 pixels", "1600 by 1200 pixels"};

static const char *const localFonts[PictureSizeCount] = {
    "family:Gridvane0810-size:10", "family:Gridvane1215-size:15", "family:Gridvane1620-size:20",
    "family:Gridvane2025-size:25"};

static const char *const xFonts[PictureSizeCount] = {
    "-orvo-tessel-medium-r-normal--10-100-75-75-c-100-iso8859-1",
    "-orvo-tessel-medium-r-normal--15-150-75-75-c-100-iso8859-1",
    "-orvo-tessel-medium-r-normal--20-200-75-75-c-100-iso8859-1",
    "-orvo-tessel-medium-r-normal--25-250-75-75-c-100-iso8859-1"};

const char *PictureSizeText(int index)
{
    return index >= 1 && index <= PictureSizeCount ? pictureSizes[index - 1] : NULL;
}

int PictureSizeIndexOf(const char *text)
{
    for (int i = 0; i < PictureSizeCount; i++)
        if (strcmp(text, pictureSizes[i]) == 0)
            return i + 1;
    return 0;
}

const char *TerminalFontFor(int index, int32_t monitorType)
{
    if (index < 1 || index > PictureSizeCount)
        return NULL;
    return monitorType == MonitorVsLocal ? localFonts[index - 1] : xFonts[index - 1];
}

/* Per control: enabled in the modes VS Local, VS Remote, X and
 * pre-defined, in that order (the monitor types' numbers). */
struct EnableRule {
    int id;
    bool on[ModeCount];
};

static const EnableRule rules[] = {
    {IDC_SETTING_NUMBER, {false, false, false, true}},
    {IDC_SETTING_NUMBER_LABEL, {false, false, false, true}},
    {IDC_TYPE_GROUP, {true, true, true, false}},
    {IDC_TYPE_VS_LOCAL, {true, true, true, false}},
    {IDC_TYPE_VS_REMOTE, {true, true, true, false}},
    {IDC_TYPE_X, {true, true, true, false}},
    {IDC_APPLICATION, {true, true, true, false}},
    {IDC_APPLICATION_MONITOR, {true, true, true, false}},
    {IDC_APPLICATION_LABEL, {true, true, true, false}},
    {IDC_APPLICATION_MONITOR_LABEL, {true, true, true, false}},
    {IDC_PICTURE_SIZE, {true, true, true, false}},
    {IDC_PICTURE_SIZE_LABEL, {true, true, true, false}},
    {IDC_NODE_GROUP, {false, true, true, true}},
    {IDC_NODE_LABEL, {false, true, true, true}},
    {IDC_NODE, {false, true, true, true}},
    {IDC_DISPLAY, {false, true, true, false}},
    {IDC_DISPLAY_LABEL, {false, true, true, false}},
    {IDC_PRINTER, {false, true, false, false}},
    {IDC_PRINTER_LABEL, {false, true, false, false}},
};

size_t ModeControlCount(void)
{
    return sizeof rules / sizeof rules[0];
}

int ModeControlAt(size_t index)
{
    return index < ModeControlCount() ? rules[index].id : 0;
}

bool ControlEnabledInMode(int id, int mode, bool startOptions)
{
    if (startOptions && (id == IDC_TYPE_VS_REMOTE || id == IDC_TYPE_X))
        return false;
    if (mode < MonitorVsLocal || mode > ModePredefined)
        mode = MonitorVsLocal;
    for (const EnableRule &rule : rules)
        if (rule.id == id)
            return rule.on[mode];
    return true;
}

void NormalizePrinter(const char *typed, char *printer, size_t size)
{
    size_t n = strlen(typed);
    if (n == 0) {
        CopyText(printer, size, DefaultPrinter);
        return;
    }
    CopyText(printer, size, typed);
    if (typed[n - 1] != ':' && n < PrinterSize - 1) /* the colon still fits */
        AppendText(printer, size, ":");
}

void NormalizeDisplay(const char *typed, char *display, size_t size)
{
    CopyText(display, size, typed[0] != '\0' ? typed : DefaultDisplay);
}
