/*
 * proplist.cpp: the walk over a monitor property list (see proplist.h).
 */
#include "proplist.h"

#include <string.h>

bool WalkPropertyList(char *list, size_t size, const PropertyActions *actions)
{
    bool problemNoted = false;
    size_t position = 0;
    while (position < size) {
        char *entry = list + position;
        char *end = (char *)memchr(entry, '\0', size - position);
        if (end == NULL || end == entry)
            break; /* cut off by the end of the buffer, or the closing empty string */
        /* The length is taken before the split: after it the entry would
         * end at the former equals sign. */
        size_t length = (size_t)(end - entry);
        char *equals = (char *)memchr(entry, '=', length);
        if (equals != NULL) {
            *equals = '\0';
            if (!actions->set(actions->context, entry, equals + 1))
                problemNoted = true;
        } else if (!problemNoted) {
            actions->syntaxError(actions->context);
            problemNoted = true;
        }
        position += length + 1;
    }
    return !problemNoted;
}
