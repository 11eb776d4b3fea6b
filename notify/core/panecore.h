/*
 * panecore.h: the bookkeeping and the texts of a message pane.
 *
 * A pane holds at most 1000 lines. The line that would be the 1001st first
 * removes the oldest 100 and adds two notices, so the pane holds 903 lines
 * after it. The horizontal scroll range follows the widest line: the
 * widest line of each block of 100 lines is kept, so that removing the
 * oldest block can narrow the range to the widest line left.
 *
 * The status line's list keeps the newest 100 status messages of a
 * connection: the one that would be the 101st first removes the oldest.
 *
 * Portable: no Windows headers. The Win32 side measures the lines and
 * carries out on the list box what these functions decide.
 */
#ifndef GV_NOTIFY_PANECORE_H
#define GV_NOTIFY_PANECORE_H

#include <stddef.h>
#include <stdint.h>

#include "hosttable.h"

enum {
    PaneMaxLines = 1000,
    PanePruneLines = 100,
    PanePruneNoticeLines = 2, /* the two lines that say a pane was pruned */
    PaneBlockLines = 100,
    PaneLineSize = 256,
    StatusMaxMessages = 100,
    ErrorBoxTextSize = 512
};

extern const char TextLineNotAdded[]; /* "An error occured when trying to display a message." */

/* What the list box needs before the next line is added. */
struct PanePlan {
    bool prune;      /* delete the oldest 100 lines, then add the two notices */
    bool setExtent;  /* before deleting them: set the horizontal extent to extent */
    int32_t extent;
};

/* Counts the next line, or, on a full pane, does the pruning's bookkeeping
 * (blocks shifted, the count lowered to what the list will hold). */
PanePlan PlanPaneLine(HostEntry *entry);

/* Notes the width of a line about to be added to a list of listCount
 * lines. True when it widened the pane: the new extent is paneExtent. */
bool NotePaneLineWidth(HostEntry *entry, int32_t listCount, int32_t width);

/* The bookkeeping of an emptied pane. */
void ResetPaneBook(HostEntry *entry);

/* "[notify] text", and " (code)." after it when the code is not 0. */
void FormatReportLine(char *line, const char *text, uint32_t code);
void FormatLostMessagesLine(char *line, uint32_t missing);
void FormatPruneNotices(char *first, char *second);

/* The text of the error box: with the host's name, or (hostName NULL) the
 * code and the advice alone. */
void FormatErrorBoxText(char *text, size_t size, const char *hostName, const char *message,
                        uint32_t code);

/* The next text of the status line while a host is being connected: the
 * first-connection or the reconnection text, alternating with "Trying...". */
const char *NextConnectStatus(HostEntry *entry);

/*
 * Lines for one pane that the reader collects while it drains a host and
 * hands to the window thread in one go, so that the list box is redrawn
 * once per batch instead of once per line. The text room holds the longest
 * message with its zero, so any one line fits an empty batch.
 */
enum { PaneBatchLines = 256, PaneBatchTextSize = 131072 };

struct PaneBatch {
    int host;
    int lineCount;
    uint32_t used;
    uint32_t starts[PaneBatchLines];
    char text[PaneBatchTextSize];
};

void ClearPaneBatch(PaneBatch *batch);
/* Adds a line for the host; false, with the batch unchanged, when the
 * batch is full or holds another host's lines (send it first). */
bool AppendPaneBatch(PaneBatch *batch, int host, const char *text);
const char *PaneBatchLine(const PaneBatch *batch, int index);

#endif
