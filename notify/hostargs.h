/*
 * hostargs.h: the computer names on the notification window's command line
 * and the paths of their message pipes.
 *
 * The command line is "program name1 name2": the first name is the upper
 * pane's computer (this computer when there is none), the second the lower
 * pane's; anything after them is ignored. A name that begins with this
 * computer's name, in any case, is this computer, and its pipe path has "."
 * as its host part.
 *
 * Portable: no Windows headers; the Win32 side supplies the command line
 * and the computer name.
 */
#ifndef GV_NOTIFY_HOSTARGS_H
#define GV_NOTIFY_HOSTARGS_H

#include <stddef.h>

enum { CommandCopySize = 128 };

/* Where the parse stands between two calls; zero-filled before the first. */
struct ArgumentCursor {
    char copy[CommandCopySize];
    size_t position;
    bool started;
    bool cut; /* the command line was longer than the copy */
};

/*
 * Takes the next name. The first call copies commandLine and skips the
 * program name (a program name that opens with a double quote runs to the
 * closing quote). computerName is this computer's name, or NULL when it is
 * not known. With useLocalDefault and no name left, hostName becomes the
 * computer name.
 *
 * Returns false when there is no name. Returns true with hostName set, or
 * with hostName empty when the name had to be refused: longer than the
 * 15-character field, or reaching the end of a command line that did not
 * fit the copy. A refused name is never cut into another computer's name.
 */
bool NextHostArgument(ArgumentCursor *cursor, const char *commandLine,
                      const char *computerName, bool useLocalDefault, char *hostName,
                      bool *isLocal);

/* "\\host\pipe\KPX\PIPE_stderr", or "\\.\pipe\..." when isLocal, into a
 * 256-character field. False for an empty name or one that does not fit. */
bool FormatPipeName(const char *hostName, char *pipeName, bool isLocal);

#endif
