/*
 * textbuf.cpp: bounded text operations (see textbuf.h).
 */
#include "textbuf.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

bool CopyTextN(char *dest, size_t size, const char *src, size_t count)
{
    if (size == 0)
        return false;
    size_t n = 0;
    while (n < count && src[n] != '\0')
        n++;
    bool fits = n < size;
    if (!fits)
        n = size - 1;
    memcpy(dest, src, n);
    dest[n] = '\0';
    return fits;
}

bool CopyText(char *dest, size_t size, const char *src)
{
    return CopyTextN(dest, size, src, strlen(src));
}

bool AppendText(char *dest, size_t size, const char *src)
{
    size_t used = 0;
    while (used < size && dest[used] != '\0')
        used++;
    if (used >= size)
        return false;
    return CopyText(dest + used, size - used, src);
}

bool FormatText(char *dest, size_t size, const char *format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(dest, size, format, args);
    va_end(args);
    if (n < 0) {
        dest[0] = '\0';
        return false;
    }
    return (size_t)n < size;
}

char UpperAscii(char character)
{
    return character >= 'a' && character <= 'z' ? (char)(character - 'a' + 'A') : character;
}

void UpperCaseAscii(char *text)
{
    for (; *text; text++)
        *text = UpperAscii(*text);
}

size_t ReadDecimalDigits(const char *text, size_t count, uint64_t *value, uint64_t limit)
{
    static const uint64_t DecimalBase = 10;
    uint64_t number = 0;
    size_t digits = 0;
    for (; digits < count && text[digits] >= '0' && text[digits] <= '9'; digits++) {
        number = number * DecimalBase + (uint64_t)(text[digits] - '0');
        if (number > limit) {
            number = limit;
        }
    }
    *value = number;
    return digits;
}

bool StartsWithIgnoringCase(const char *text, const char *prefix)
{
    for (size_t at = 0; prefix[at] != '\0'; at++) {
        if (UpperAscii(text[at]) != UpperAscii(prefix[at])) {
            return false; /* also where text ends first */
        }
    }
    return true;
}
