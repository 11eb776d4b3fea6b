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

/* Upper-cases the ASCII letters a..z in place. */
void UpperCaseAscii(char *text);

#endif
