/*
 * reqdecode.h: reading a monitor request back into the settings it was made
 * from, the other end of FormatMonitorRequest (request.h), for programs that
 * play a base system. A request is accepted only when formatting the decoded
 * settings gives back the very same bytes, so a decoder and the opener
 * cannot drift apart unnoticed.
 *
 * Portable: no Windows headers.
 */
#ifndef GV_MONOPEN_REQDECODE_H
#define GV_MONOPEN_REQDECODE_H

#include <stddef.h>
#include <stdint.h>

#include "options.h"

struct DecodedRequest {
    MonitorSettings settings; /* the fields the request carries; the rest zero */
    CommandLineOptions fonts; /* localFontGiven / remoteFontGiven for a FONT item */
    int32_t stringCount;      /* NUL-terminated strings in the request */
};

/*
 * Decodes the length bytes of a request. False when they are not a request
 * of this program's format; error then says why (errorSize bytes).
 * A FONT item is always decoded as a font given on the command line (it
 * formats back the same whether it was the default or not).
 */
bool DecodeMonitorRequest(const char *bytes, size_t length, DecodedRequest *request,
                          char *error, size_t errorSize);

/* "VS Local", "VS Remote", "X", "pre-defined", or "unknown". */
const char *MonitorTypeName(int32_t monitorType);

#endif
