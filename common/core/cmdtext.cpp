/*
 * cmdtext.cpp: blanks, tokens and the program name (see cmdtext.h).
 */
#include "cmdtext.h"

#include <string.h>

const char *SkipBlanks(const char *text)
{
    while (*text == ' ')
        text++;
    return text;
}

const char *TokenEnd(const char *text)
{
    while (*text != '\0' && *text != ' ')
        text++;
    return text;
}

const char *SkipProgramName(const char *commandLine)
{
    const char *p = commandLine;
    if (*p == '"') {
        const char *close = strchr(p + 1, '"');
        p = close != NULL ? close + 1 : p + strlen(p);
    }
    return SkipBlanks(TokenEnd(p));
}
