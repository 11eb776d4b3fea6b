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
 * The program path does not count against the room for the names: what
 * follows it is copied into 128 bytes, and a name must stand whole in that
 * copy and have at most 15 characters. A name that does not is refused:
 * it still has its pane, where the window says why it is not used.
 *
 * Portable: no Windows headers; the Win32 side supplies the command line
 * and the computer name.
 */
#ifndef GV_NOTIFY_HOSTARGS_H
#define GV_NOTIFY_HOSTARGS_H

#include <stddef.h>

enum {
    CommandCopySize = 128,
    RefusedNameShown = 40 /* characters of a refused name kept for its report */
};

/* Where the parse stands between two calls; zero-filled before the first. */
struct ArgumentCursor {
    char copy[CommandCopySize]; /* what follows the program path */
    size_t base;                /* where that starts in the command line */
    size_t position;            /* in the command line after base */
    bool started;
    bool cut; /* what follows the program path was longer than the copy */
};

enum NameRefusal {
    NameTaken = 0,
    NameTooLong = 1, /* longer than the 15-character field */
    NameCutOff = 2   /* runs past the end of the copy */
};

/* A name that was refused, as it stands on the command line: its length
 * and its first characters. */
struct RefusedName {
    NameRefusal reason;
    size_t length;
    char given[RefusedNameShown + 1];
};

/*
 * Takes the next name. The first call skips the program name (a program
 * name that opens with a double quote runs to the closing quote) and
 * copies the rest. computerName is this computer's name, or NULL when it
 * is not known. With useLocalDefault and no name left, hostName becomes the
 * computer name. Blanks alone are no name.
 *
 * Returns false when there is no name. Returns true with hostName set, or
 * with hostName empty and refused telling why the name is not used: longer
 * than the 15-character field, or cut by the end of the copy. A refused
 * name is never cut into another computer's name.
 */
bool NextHostArgument(ArgumentCursor *cursor, const char *commandLine,
                      const char *computerName, bool useLocalDefault, char *hostName,
                      bool *isLocal, RefusedName *refused);

/* What the pane of a refused name says about it, into text of size bytes:
 * the name as given (a long one by its first characters and its length)
 * and why it is not used. */
void FormatRefusedName(char *text, size_t size, const RefusedName *refused);

/* "\\host\pipe\KPX\PIPE_stderr", or "\\.\pipe\..." when isLocal, into a
 * 256-character field. False for an empty name or one that does not fit. */
bool FormatPipeName(const char *hostName, char *pipeName, bool isLocal);

#endif
