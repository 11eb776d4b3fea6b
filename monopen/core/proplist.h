/*
 * proplist.h: the walk over a monitor property list, a run of
 * NUL-terminated name=value strings that ends with an empty string (the
 * layout of a monitors.dat section and of a VS Local request from its ninth
 * character on).
 *
 * Portable: no Windows headers. What happens to each entry is up to the
 * caller, so the walk itself is a plain function of its input.
 */
#ifndef GV_MONOPEN_PROPLIST_H
#define GV_MONOPEN_PROPLIST_H

#include <stddef.h>

struct PropertyActions {
    /* Sets one variable; false when that failed (the callee reports it). */
    bool (*set)(void *context, const char *name, const char *value);
    /* Reports a string without an equals sign. */
    void (*syntaxError)(void *context);
    void *context;
};

/* Walks the list in the size bytes at list. Every string is split at its
 * first equals sign, which is overwritten by a NUL in place, and handed to
 * set; the value keeps any further equals signs. A string without one calls
 * syntaxError, but only for the first problem of the walk: never twice and
 * never after a failed set. The walk ends at the empty string, or at the
 * end of the buffer when that comes first; a string cut off by the end of
 * the buffer (no NUL before it) is left alone. Nothing outside the size
 * bytes is read or written.
 *
 * Returns true when no problem was met. */
bool WalkPropertyList(char *list, size_t size, const PropertyActions *actions);

#endif
