/*
 * cmdtext.h: how both programs split their command lines. A blank is the
 * space character only, so a tab is part of a name or value; a program
 * name that opens with a double quote runs to the closing quote, so that a
 * path with blanks stays whole.
 *
 * What the tokens mean differs: the opener's options (argparse) and the
 * notification window's computer names (hostargs) each have their own
 * rules on top of these.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_COMMON_CMDTEXT_H
#define GV_COMMON_CMDTEXT_H

/* The first character that is not a blank. */
const char *SkipBlanks(const char *text);

/* The end of the token at text: the next blank or the end of the text. */
const char *TokenEnd(const char *text);

/* The argument text: past the program name and the blanks after it. */
const char *SkipProgramName(const char *commandLine);

#endif
