/*
 * message.cpp: message header and sequence numbers (see message.h).
 */
#include "message.h"

#include <stdlib.h>
#include <string.h>

enum { HeaderLength = 7, SequenceDigits = 4, KindPosition = 5, LastSequence = 9999 };

bool ParseMessageHeader(char *message, int32_t *sequence, char *kind)
{
    size_t length = strlen(message);
    if (length < KindPosition) /* the kind may be the terminating zero */
        return false;
    char digits[SequenceDigits + 1];
    memcpy(digits, message, SequenceDigits);
    digits[SequenceDigits] = '\0';
    *sequence = atoi(digits);
    *kind = message[KindPosition];
    if (length > HeaderLength)
        memmove(message, message + HeaderLength, length - HeaderLength + 1);
    else
        message[0] = '\0';
    return true;
}

bool IsStatusKind(char kind)
{
    return kind == 'C' || kind == 'L';
}

uint32_t CheckSequence(HostEntry *entry, int32_t sequence)
{
    if (sequence == 0)
        return 0;
    int32_t last = entry->lastSequence;
    if (last == LastSequence)
        last = 0;
    int32_t missing;
    if (last == -1 || sequence == last + 1)
        missing = 0;
    else if (sequence > last)
        missing = sequence - last - 1;
    else
        missing = sequence - last + (LastSequence - 1);
    entry->lastSequence = sequence;
    /* Only a number outside 1..9999 can make the count negative: no loss
     * can be told from it. */
    return missing > 0 ? (uint32_t)missing : 0;
}
