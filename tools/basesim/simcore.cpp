/*
 * simcore.cpp: options, schedule and texts of the simulator (see simcore.h).
 */
#include "simcore.h"

#include <stdio.h>
#include <string.h>

#include "textbuf.h"

const char SimUsage[] =
    "usage: basesim [options]\n"
    "\n"
    "Plays a Gridvane base-system computer on this computer: serves the monitor\n"
    "pipe \\\\.\\pipe\\KPX\\PIPE_monts for monopen and the notification pipe\n"
    "\\\\.\\pipe\\KPX\\PIPE_stderr for notify, and prints what they say.\n"
    "\n"
    "Monitor pipe: every request is decoded and printed, then answered with two\n"
    "replies.\n"
    "  --replies FIRST,SECOND  the replies (default OK,OK); for example OK_X,OK\n"
    "                          or OK,ERROR, or any other word to see how the\n"
    "                          opener takes an unknown reply\n"
    "\n"
    "Notification pipe: \"ACTIVATE\" and \"DEACTIVATE\" are printed as they arrive;\n"
    "after \"ACTIVATE\" a client gets a greeting, then numbered notifications\n"
    "(kind L, lines of notify's pane) and now and then an unnumbered status\n"
    "message (kind C, notify's status line). Every client sees the same numbers.\n"
    "  --rate N                numbered notifications per second (default 2,\n"
    "                          at most 50, 0 for none)\n"
    "  --start N               first sequence number, 1 to 9999 (default 1);\n"
    "                          9999 is followed by 1\n"
    "  --gap-every N           leave numbers out after every N notifications\n"
    "                          (default 0: never), so notify warns of lost ones\n"
    "  --gap-size N            how many numbers a gap leaves out (default 1)\n"
    "  --status-every N        a status message after every N notifications\n"
    "                          (default 10, 0 for none)\n"
    "  --drop-every N          close a client's connection after every N\n"
    "                          notifications sent to it (default 0: never)\n"
    "  --verbose               print every notification sent\n"
    "\n"
    "  --duration S            end after S seconds (default 0: run until stopped)\n"
    "  --help                  this text\n";

namespace {

bool ReadCount(const char *text, int32_t low, int32_t high, int32_t *value)
{
    if (text == nullptr || *text == '\0')
        return false;
    int64_t n = 0;
    for (const char *p = text; *p; p++) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + (*p - '0');
        if (n > high)
            return false;
    }
    if (n < low)
        return false;
    *value = (int32_t)n;
    return true;
}

bool ReadReplies(const char *text, SimOptions *options)
{
    const char *comma = text != nullptr ? strchr(text, ',') : nullptr;
    if (comma == nullptr || comma == text || comma[1] == '\0')
        return false;
    return CopyTextN(options->replies[0], ReplySize, text, (size_t)(comma - text)) &&
           CopyText(options->replies[1], ReplySize, comma + 1);
}

struct CountOption {
    const char *name;
    size_t offset;
    int32_t low;
    int32_t high;
};

const CountOption CountOptions[] = {
    {"--rate", offsetof(SimOptions, rate), 0, RateMax},
    {"--start", offsetof(SimOptions, firstSequence), 1, SequenceMax},
    {"--gap-every", offsetof(SimOptions, gapEvery), 0, 1000000},
    {"--gap-size", offsetof(SimOptions, gapSize), 1, SequenceMax - 1},
    {"--status-every", offsetof(SimOptions, statusEvery), 0, 1000000},
    {"--drop-every", offsetof(SimOptions, dropEvery), 0, 1000000},
    {"--duration", offsetof(SimOptions, durationSeconds), 0, 86400},
};

int32_t Advance(int32_t sequence, int32_t steps)
{
    return (int32_t)((sequence - 1 + steps) % SequenceMax) + 1;
}

} // namespace

bool ParseSimOptions(int argc, const char *const *argv, SimOptions *options, char *error,
                     size_t errorSize)
{
    memset(options, 0, sizeof *options);
    CopyText(options->replies[0], ReplySize, "OK");
    CopyText(options->replies[1], ReplySize, "OK");
    options->rate = 2;
    options->firstSequence = 1;
    options->gapSize = 1;
    options->statusEvery = 10;
    error[0] = '\0';

    for (int i = 0; i < argc; i++) {
        const char *arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0 || strcmp(arg, "/?") == 0) {
            options->help = true;
            return true;
        }
        if (strcmp(arg, "--verbose") == 0) {
            options->verbose = true;
            continue;
        }
        if (strcmp(arg, "--replies") == 0) {
            if (!ReadReplies(value, options)) {
                FormatText(error, errorSize,
                           "--replies needs two words of 1 to %d characters: FIRST,SECOND",
                           ReplySize - 1);
                return false;
            }
            i++;
            continue;
        }
        const CountOption *option = nullptr;
        for (const CountOption &o : CountOptions)
            if (strcmp(arg, o.name) == 0)
                option = &o;
        if (option == nullptr) {
            FormatText(error, errorSize, "unknown option \"%s\" (--help lists them)", arg);
            return false;
        }
        int32_t *field = (int32_t *)((char *)options + option->offset);
        if (!ReadCount(value, option->low, option->high, field)) {
            FormatText(error, errorSize, "%s needs a number from %d to %d", arg,
                       (int)option->low, (int)option->high);
            return false;
        }
        i++;
    }
    return true;
}

void StartSchedule(NotificationSchedule *schedule, const SimOptions *options)
{
    schedule->nextSequence = options->firstSequence;
    schedule->taken = 0;
}

int32_t TakeSequence(NotificationSchedule *schedule, const SimOptions *options)
{
    int32_t sequence = schedule->nextSequence;
    schedule->taken++;
    int32_t steps = 1;
    if (options->gapEvery > 0 && schedule->taken % (uint32_t)options->gapEvery == 0)
        steps += options->gapSize;
    schedule->nextSequence = Advance(sequence, steps);
    return sequence;
}

bool StatusDue(uint32_t count, const SimOptions *options)
{
    return options->statusEvery > 0 && count > 0 && count % (uint32_t)options->statusEvery == 0;
}

bool DropDue(uint32_t count, const SimOptions *options)
{
    return options->dropEvery > 0 && count > 0 && count % (uint32_t)options->dropEvery == 0;
}

void FormatNotification(char *message, size_t size, int32_t sequence, char kind,
                        const char *text)
{
    FormatText(message, size, "%04d %c %s", (int)sequence, kind, text);
}

void NotificationText(char *text, size_t size, uint32_t count, const char *clock)
{
    /* Events of a small water and power plant; a reading is base + a
     * varying part below span. */
    static const struct {
        const char *format; /* unit number, then the reading */
        unsigned base;
        unsigned span;
    } events[] = {
        {"Feeder F%u: breaker closed", 0, 0},
        {"Pump station P%u: discharge pressure %u kPa", 420, 180},
        {"Substation S%u: transformer temperature %u C", 48, 30},
        {"Feeder F%u: breaker opened by protection", 0, 0},
        {"Reservoir R%u: level %u cm", 180, 260},
        {"Pump station P%u: pump 2 started", 0, 0},
        {"Substation S%u: busbar voltage %u V", 10800, 600},
    };
    const size_t eventCount = sizeof events / sizeof events[0];
    size_t which = count % eventCount;
    unsigned unit = 1 + (unsigned)(count * 7 % 12);
    unsigned reading = events[which].base + (events[which].span > 0
                                                 ? (unsigned)(count * 37 % events[which].span)
                                                 : 0);
    char event[128];
    snprintf(event, sizeof event, events[which].format, unit, reading);
    FormatText(text, size, "%s %s", clock, event);
}

void FormatRequestSummary(const DecodedRequest *request, char *text, size_t size)
{
    const MonitorSettings &s = request->settings;
    text[0] = '\0';
    char line[400];
    if (s.monitorType == MonitorPredefined) {
        FormatText(line, sizeof line, "    pre-defined monitor, setting %u\n",
                   (unsigned)s.settingNumber);
        AppendText(text, size, line);
        return;
    }
    FormatText(line, sizeof line, "    %s monitor: application %u, application monitor %u\n",
               MonitorTypeName(s.monitorType), (unsigned)s.applicationNumber,
               (unsigned)s.applicationMonitorNumber);
    AppendText(text, size, line);
    FormatText(line, sizeof line, "    terminal font %s\n", s.terminalFont);
    AppendText(text, size, line);
    if (s.monitorType == MonitorVsLocal || s.monitorType == MonitorVsRemote) {
        FormatText(line, sizeof line, "    font          %s\n",
                   s.monitorType == MonitorVsLocal ? s.localFont : s.remoteFont);
        AppendText(text, size, line);
    }
    if (s.monitorType == MonitorVsRemote) {
        FormatText(line, sizeof line, "    printer       %s\n", s.printer);
        AppendText(text, size, line);
    }
    if (s.monitorType != MonitorVsLocal) {
        FormatText(line, sizeof line, "    display       %s\n", s.display);
        AppendText(text, size, line);
    }
}

/* One byte as printed. */
static void EscapeByte(unsigned char c, char piece[8])
{
    if (c == 0)
        CopyText(piece, 8, "\\0");
    else if (c == '\\')
        CopyText(piece, 8, "\\\\");
    else if (c < 0x20 || c >= 0x7F)
        snprintf(piece, 8, "\\x%02X", c);
    else
        snprintf(piece, 8, "%c", c);
}

void EscapeBytes(const char *bytes, size_t length, char *text, size_t size)
{
    if (size == 0)
        return;
    char piece[8];
    size_t total = 0;
    for (size_t i = 0; i < length; i++) {
        EscapeByte((unsigned char)bytes[i], piece);
        total += strlen(piece);
    }
    /* Cut: keep room for "..." and the NUL. */
    size_t limit = total < size ? size - 1 : (size > 4 ? size - 4 : 0);
    size_t used = 0;
    for (size_t i = 0; i < length; i++) {
        EscapeByte((unsigned char)bytes[i], piece);
        size_t n = strlen(piece);
        if (used + n > limit)
            break;
        memcpy(text + used, piece, n);
        used += n;
    }
    text[used] = '\0';
    if (total >= size)
        AppendText(text, size, "...");
}
