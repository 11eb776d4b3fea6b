/*
 * panecore.cpp: pane bookkeeping and texts (see panecore.h).
 */
#include "panecore.h"

#include <string.h>

#include "textbuf.h"
#include "message.h"

// A whole message always fits an empty batch.
static_assert((size_t)PaneBatchTextSize >= (size_t)MessageBufferSize);

const char TextLineNotAdded[] = "An error occured when trying to display a message.";

static const char ReportPrefix[] = "[notify]";
static const char ReturnCode[] = "Return code = ";
static const char RestartAdvice[] =
    "Please restart this program to ensure that the communication between Gridvane and this "
    "program will work properly.";

PanePlan PlanPaneLine(HostEntry *entry)
{
    PanePlan plan = {false, false, 0};
    if (entry->lineCount != PaneMaxLines) {
        entry->lineCount++;
        return plan;
    }
    plan.prune = true;
    if (entry->paneExtent == entry->blockWidth[0]) {
        /* The widest line may be among those removed. */
        entry->blockWidth[0] = 0;
        int32_t widest = 0;
        for (int k = 0; k < PaneBlocks; k++)
            if (entry->blockWidth[k] > widest)
                widest = entry->blockWidth[k];
        entry->paneExtent = widest;
        plan.setExtent = true;
        plan.extent = widest;
    }
    for (int k = 0; k + 1 < PaneBlocks; k++)
        entry->blockWidth[k] = entry->blockWidth[k + 1];
    entry->blockWidth[PaneBlocks - 1] = 0;
    /* 100 lines removed; the two notices and the new line added. */
    entry->lineCount -= PanePruneLines - PanePruneNoticeLines - 1;
    return plan;
}

bool NotePaneLineWidth(HostEntry *entry, int32_t listCount, int32_t width)
{
    int32_t block = listCount > 0 ? listCount / PaneBlockLines : 0;
    if (block >= PaneBlocks)
        block = PaneBlocks - 1;
    bool grew = width > entry->paneExtent;
    if (grew)
        entry->paneExtent = width;
    if (width > entry->blockWidth[block])
        entry->blockWidth[block] = width;
    return grew;
}

void ResetPaneBook(HostEntry *entry)
{
    entry->lineCount = 0;
    entry->paneExtent = 0;
    for (int k = 0; k < PaneBlocks; k++)
        entry->blockWidth[k] = 0;
}

void FormatReportLine(char *line, const char *text, uint32_t code)
{
    if (code != 0)
        FormatText(line, PaneLineSize, "%s %s (%lu).", ReportPrefix, text, (unsigned long)code);
    else
        FormatText(line, PaneLineSize, "%s %s", ReportPrefix, text);
}

void FormatLostMessagesLine(char *line, uint32_t missing)
{
    char count[PaneLineSize];
    FormatText(count, sizeof count, "(Messages missing %u)", (unsigned)missing);
    FormatText(line, PaneLineSize, "%s %s %s", ReportPrefix, "WARNING Messages are lost.", count);
}

void FormatPruneNotices(char *first, char *second)
{
    FormatText(first, PaneLineSize,
               "%s The maximum number of messages that can be displayed (%u) has been reached.",
               ReportPrefix, (unsigned)PaneMaxLines);
    FormatText(second, PaneLineSize, "%s Pruning the list (%u messages)...", ReportPrefix,
               (unsigned)PanePruneLines);
}

void FormatErrorBoxText(char *text, size_t size, const char *hostName, const char *message,
                        uint32_t code)
{
    if (hostName != NULL)
        FormatText(text, size, "%s: %s %s %lu. %s", hostName, message, ReturnCode,
                   (unsigned long)code, RestartAdvice);
    else
        FormatText(text, size, "%s %lu. %s", ReturnCode, (unsigned long)code, RestartAdvice);
}

const char *NextConnectStatus(HostEntry *entry)
{
    const char *text;
    if (!entry->statusToggle)
        text = "Trying...";
    else if (entry->wasConnected)
        text = "Connection lost. Trying to reconnect.";
    else
        text = "Trying to connect.";
    entry->statusToggle = !entry->statusToggle;
    return text;
}

void ClearPaneBatch(PaneBatch *batch)
{
    batch->host = -1;
    batch->lineCount = 0;
    batch->used = 0;
}

bool AppendPaneBatch(PaneBatch *batch, int host, const char *text)
{
    if (batch->lineCount > 0 && batch->host != host)
        return false;
    if (batch->lineCount == PaneBatchLines)
        return false;
    size_t size = strlen(text) + 1;
    if (size > PaneBatchTextSize - batch->used)
        return false;
    memcpy(batch->text + batch->used, text, size);
    batch->starts[batch->lineCount++] = batch->used;
    batch->used += (uint32_t)size;
    batch->host = host;
    return true;
}

const char *PaneBatchLine(const PaneBatch *batch, int index)
{
    return batch->text + batch->starts[index];
}
