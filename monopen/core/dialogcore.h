/*
 * dialogcore.h: the rules of the settings dialog: which controls each mode
 * enables, the picture sizes and their terminal fonts, and how the typed
 * values become monitor settings.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_DIALOGCORE_H
#define GV_MONOPEN_DIALOGCORE_H

#include <stddef.h>
#include <stdint.h>

enum {
    PictureSizeCount = 4,
    ApplicationMax = 250,
    ApplicationMonitorMax = 100
};

/* Dialog modes: the monitor types VS Local, VS Remote and X, and the
 * pre-defined monitor, by the numbers of MonitorType (options.h). */
enum { ModePredefined = 3, ModeCount = 4 };

/* "640 by 480 pixels" .. "1600 by 1200 pixels" for index 1..4, else NULL. */
const char *PictureSizeText(int index);

/* 1..4 for a combo text, 0 when it matches none (exact compare). */
int PictureSizeIndexOf(const char *text);

/* Terminal font of a picture size (1..4) for a monitor type: the VS Local
 * family name for type 0, the X font for the others. */
const char *TerminalFontFor(int index, int32_t monitorType);

/* Enabled state of a control (by its id) in a mode; ids the rules do not
 * name stay as they are and give true. With either start option the
 * VS Remote and X radio buttons are off in every mode. */
bool ControlEnabledInMode(int id, int mode, bool startOptions);

/* The controls the rules switch, for walking them all. */
size_t ModeControlCount(void);
int ModeControlAt(size_t index);

/* What an empty printer or display entry stands for. */
extern const char DefaultPrinter[]; /* "LPT1:" */
extern const char DefaultDisplay[]; /* "localpc:0" */

/* The printer as stored: empty gives "LPT1:", otherwise a colon is appended
 * unless the text already ends with one or has 98 characters. */
void NormalizePrinter(const char *typed, char *printer, size_t size);

/* The display as stored: empty gives "localpc:0". */
void NormalizeDisplay(const char *typed, char *display, size_t size);

#endif
