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

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

void UpperCaseAscii(char *text)
{
    for (; *text; text++)
        *text = UpperAscii(*text);
}

size_t ReadDecimalDigits(const char *text, size_t count, uint64_t limit, uint64_t *value)
{
    uint64_t n = 0;
    size_t i = 0;
    for (; i < count && text[i] >= '0' && text[i] <= '9'; i++) {
        n = n * 10 + (uint64_t)(text[i] - '0');
        if (n > limit)
            n = limit;
    }
    *value = n;
    return i;
}

bool StartsWithIgnoringCase(const char *text, const char *prefix)
{
    for (size_t i = 0; prefix[i] != '\0'; i++) {
        if (UpperAscii(text[i]) != UpperAscii(prefix[i]))
            return false; /* also where text ends first */
    }
    return true;
}
