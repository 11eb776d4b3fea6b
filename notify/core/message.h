/*
 * message.h: the notifications read from a base system's message pipe.
 *
 * A message is "SSSS?K?text": a sequence number of four characters (read
 * like atoi), one character not looked at, the kind, one more character,
 * then the text up to the end or its first zero byte. Numbers run 1 to
 * 9999 and wrap to 1; 0 marks an unnumbered message, which goes to the
 * status line when its kind is 'C' or 'L' and is dropped otherwise.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_NOTIFY_MESSAGE_H
#define GV_NOTIFY_MESSAGE_H

#include <stdint.h>

#include "hosttable.h"

enum {
    MessageReadSize = 65567,  /* longest message read in one piece */
    MessageBufferSize = 65568 /* and the zero the reader appends */
};

/*
 * Splits a zero-terminated message in place: the text from its eighth
 * character on is moved to the start of the buffer (empty when there is
 * none). False, with nothing changed, for a message shorter than five
 * characters, which has no header.
 */
bool ParseMessageHeader(char *message, int32_t *sequence, char *kind);

/* Does an unnumbered message of this kind belong in the status line? */
bool IsStatusKind(char kind);

/*
 * The number of messages lost between the host's last numbered message and
 * this one, counting forward through 9999 and 1. The first numbered message
 * since the pipe was opened never counts as a loss. Sequence 0 is ignored.
 */
uint32_t CheckSequence(HostEntry *entry, int32_t sequence);

#endif
