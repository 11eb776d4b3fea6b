/*
 * main.cpp: basesim, a console program that plays a Gridvane base-system
 * computer for monopen and notify on the same computer: it serves the
 * monitor pipe and the notification pipe and prints what the programs say
 * (basesim --help). It runs until stopped, or for the time given.
 */
#include <windows.h>

#include <stdio.h>

#include "console.h"
#include "monpipe.h"
#include "notepipe.h"
#include "simcore.h"

static SimOptions options;

int main(int argc, char **argv)
{
    char error[160];
    if (!ParseSimOptions(argc - 1, argv + 1, &options, error, sizeof error)) {
        fprintf(stderr, "basesim: %s\n", error);
        return 2;
    }
    if (options.help) {
        fputs(SimUsage, stdout);
        return 0;
    }
    InitConsole();
    if (!StartMonitorPipe(&options) || !StartNotificationPipe(&options))
        return 1;

    char gaps[64] = "no gaps";
    if (options.gapEvery > 0)
        snprintf(gaps, sizeof gaps, "%d left out after every %d", (int)options.gapSize,
                 (int)options.gapEvery);
    char drops[64] = "no drops";
    if (options.dropEvery > 0)
        snprintf(drops, sizeof drops, "dropped after every %d", (int)options.dropEvery);
    Say("basesim ready: monitor requests answered \"%s\", \"%s\"; %d notifications a second "
        "from %04d, %s, %s",
        options.replies[0], options.replies[1], (int)options.rate, (int)options.firstSequence,
        gaps, drops);

    if (options.durationSeconds == 0)
        Sleep(INFINITE);
    Sleep((DWORD)options.durationSeconds * 1000);
    Say("basesim: %d s are up, ending", (int)options.durationSeconds);
    return 0;
}
