/*
 * cmdlinecore.h: the opener's command-line parse, as a pure function of the
 * command-line text and of the answer to "is the base system installed
 * here?". The Win32 side (cmdline.cpp) supplies both and shows the message.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_CMDLINECORE_H
#define GV_MONOPEN_CMDLINECORE_H

#include "options.h"

/* Asked once, only when the arguments hold a -n token. */
typedef bool (*ProductCheck)(void *context);

extern const char TextArgumentError[];
extern const char TextMultipleParameters[];
extern const char TextNotFromWorkstation[];
extern const char TextDAndDefault[];
extern const char TextCreateDirWithoutStart[];
extern const char TextNWithoutMonitor[];
extern const char TextFontsWithD[];

/*
 * Resets options (all fields but predefinedNode), then fills options,
 * *pictureSizeIndex and the two font strings of settings from the command
 * line. On failure returns false with *message set to the text to show;
 * fields set before the failure keep their values.
 */
bool ParseArguments(const char *commandLine, ProductCheck productInstalled,
                    void *context, CommandLineOptions *options,
                    int32_t *pictureSizeIndex, MonitorSettings *settings,
                    const char **message);

#endif
