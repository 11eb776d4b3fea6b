/*
 * textbuf.h: bounded text operations on fixed-size character arrays.
 *
 * Every function takes the full size of the destination (terminating NUL
 * included), always leaves it NUL-terminated, and reports whether the whole
 * text fitted. Portable: no Windows headers.
 */
#ifndef GV_COMMON_TEXTBUF_H
#define GV_COMMON_TEXTBUF_H

#include <stddef.h>
#include <stdint.h>

/* Copies src; false (and a cut copy) when it does not fit. */
bool CopyText(char *dest, size_t size, const char *src);

/* Copies at most count characters of src; false when they do not fit. */
bool CopyTextN(char *dest, size_t size, const char *src, size_t count);

/* Appends src to the text already in dest; false when it does not fit. */
bool AppendText(char *dest, size_t size, const char *src);

/* snprintf into dest; false when the result was cut. */
bool FormatText(char *dest, size_t size, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

/* The character with a..z upper-cased; every other byte as it is. */
char UpperAscii(char c);

/* Upper-cases the ASCII letters a..z in place. */
void UpperCaseAscii(char *text);

/* Reads the decimal digits 0..9 at text, at most count of them, into
 * *value, which stops growing at limit (below 2^60); returns how many
 * digits it read, 0 when text does not begin with one. */
size_t ReadDecimalDigits(const char *text, size_t count, uint64_t *value, uint64_t limit);

/* Does text begin with prefix, ignoring the case of ASCII letters? */
bool StartsWithIgnoringCase(const char *text, const char *prefix);

#endif
