/*
 * reqdecode.cpp: decoding a monitor request (see reqdecode.h).
 *
 * The request is split into its strings and each item is checked against
 * the names the opener writes for the monitor type, in the opener's order.
 * Whatever the item-by-item reading lets through (blanks, leading zeros, a
 * DISPLAY value on a VS Local request) is caught by formatting the result
 * again and comparing the bytes.
 */
#include "reqdecode.h"

#include <string.h>

#include "textbuf.h"
#include "request.h"

namespace {

enum { MaxStrings = 8, MaxSettingDigits = 15 };

struct Item {
    const char *name;
    enum { Number, Text, Font } kind;
    size_t fieldOffset; /* into MonitorSettings; the font field by type */
    size_t fieldSize;
};

#define FIELD(f) offsetof(MonitorSettings, f), sizeof(((MonitorSettings *)0)->f)

const Item WindowsApplication = {"KPX_MS_WINDOWS_APPLICATION", Item::Number, FIELD(applicationNumber)};
const Item WindowsMonitor = {"KPX_MS_WINDOWS_MONITOR", Item::Number, FIELD(applicationMonitorNumber)};
const Item XApplication = {"KPX_X_TERMINAL_APPLICATION", Item::Number, FIELD(applicationNumber)};
const Item XMonitor = {"KPX_X_TERMINAL_MONITOR", Item::Number, FIELD(applicationMonitorNumber)};
const Item TerminalFont = {"KPX_X_TERMINAL_FONT", Item::Text, FIELD(terminalFont)};
const Item LocalFont = {"FONT", Item::Font, FIELD(localFont)};
const Item RemoteFont = {"FONT", Item::Font, FIELD(remoteFont)};
const Item Printer = {"PRINTFILE", Item::Text, FIELD(printer)};
const Item Display = {"DISPLAY", Item::Text, FIELD(display)};

#undef FIELD

/* The items of each explicit type, in the order they are sent. */
const Item *const VsLocalItems[] = {&WindowsApplication, &WindowsMonitor, &TerminalFont,
                                    &LocalFont, &Display, nullptr};
const Item *const VsRemoteItems[] = {&WindowsApplication, &WindowsMonitor, &TerminalFont,
                                     &RemoteFont, &Printer, &Display, nullptr};
const Item *const XItems[] = {&XApplication, &XMonitor, &TerminalFont, &Display, nullptr};

bool Fail(char *error, size_t size, const char *reason)
{
    CopyText(error, size, reason);
    return false;
}

/* A value past the largest 32-bit number: where a read number stops. */
const uint64_t PastUint32 = 0x100000000u;

/* An unsigned decimal number of at most 32 bits, nothing else. */
bool ReadNumber(const char *text, uint32_t *value)
{
    size_t length = strlen(text);
    uint64_t n = 0;
    if (length == 0 || ReadDecimalDigits(text, length, &n, PastUint32) != length ||
        n == PastUint32)
        return false;
    *value = (uint32_t)n;
    return true;
}

bool ReadItem(const Item &item, const char *text, DecodedRequest *request, char *error,
              size_t errorSize)
{
    const char *equals = strchr(text, '=');
    size_t nameLength = strlen(item.name);
    if (equals == nullptr || (size_t)(equals - text) != nameLength ||
        strncmp(text, item.name, nameLength) != 0) {
        FormatText(error, errorSize, "expected %s=..., found \"%.40s\"", item.name, text);
        return false;
    }
    const char *value = equals + 1;
    char *field = (char *)&request->settings + item.fieldOffset;
    if (item.kind == Item::Number) {
        uint32_t number;
        if (!ReadNumber(value, &number)) {
            FormatText(error, errorSize, "%s is not a number: \"%.20s\"", item.name, value);
            return false;
        }
        int32_t stored = (int32_t)number;
        memcpy(field, &stored, sizeof stored);
        return true;
    }
    if (!CopyText(field, item.fieldSize, value)) {
        FormatText(error, errorSize, "%s is longer than %u characters", item.name,
                   (unsigned)(item.fieldSize - 1));
        return false;
    }
    if (item.kind == Item::Font) {
        if (item.fieldOffset == offsetof(MonitorSettings, localFont))
            request->fonts.localFontGiven = true;
        else
            request->fonts.remoteFontGiven = true;
    }
    return true;
}

/* "DEF", the number right-aligned in three characters, a blank. */
bool ReadPredefined(const char *text, DecodedRequest *request, char *error, size_t errorSize)
{
    const char *p = text + 4; /* past "DEF " */
    while (*p == ' ')
        p++;
    uint64_t setting = 0;
    size_t n = ReadDecimalDigits(p, MaxSettingDigits, &setting, PastUint32);
    if (n == 0 || setting == PastUint32 || strcmp(p + n, " ") != 0)
        return Fail(error, errorSize, "the setting number of a DEF request is not \"%3u \"");
    request->settings.monitorType = MonitorPredefined;
    request->settings.settingNumber = (int32_t)(uint32_t)setting;
    return true;
}

/* The NUL-terminated strings of a request, in order. */
bool SplitStrings(const char *bytes, size_t length, const char *strings[MaxStrings],
                  int32_t *count, char *error, size_t errorSize)
{
    *count = 0;
    for (size_t at = 0; at < length; at += strlen(bytes + at) + 1) {
        if (*count == MaxStrings)
            return Fail(error, errorSize, "more strings than any request has");
        strings[(*count)++] = bytes + at;
    }
    return true;
}

/* "RTD ", the monitor type's keyword, then one item per string. */
bool ReadRtdRequest(const char *const strings[], int32_t count, DecodedRequest *request,
                    char *error, size_t errorSize)
{
    const char *keyword = strings[0] + 4;
    const Item *const *items;
    if (strncmp(keyword, "LVS ", 4) == 0) {
        request->settings.monitorType = MonitorVsLocal;
        items = VsLocalItems;
    } else if (strncmp(keyword, "RVS ", 4) == 0) {
        request->settings.monitorType = MonitorVsRemote;
        items = VsRemoteItems;
    } else if (strncmp(keyword, "XMON", 4) == 0) {
        request->settings.monitorType = MonitorX;
        items = XItems;
    } else {
        return Fail(error, errorSize, "unknown monitor type after RTD (not LVS, RVS or XMON)");
    }
    int32_t expected = 0;
    while (items[expected] != nullptr)
        expected++;
    if (count != expected) {
        FormatText(error, errorSize, "%s request with %d strings instead of %d",
                   MonitorTypeName(request->settings.monitorType), (int)count, (int)expected);
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        const char *text = i == 0 ? keyword + 4 : strings[i];
        if (!ReadItem(*items[i], text, request, error, errorSize))
            return false;
    }
    return true;
}

} // namespace

const char *MonitorTypeName(int32_t monitorType)
{
    switch (monitorType) {
    case MonitorVsLocal:
        return "VS Local";
    case MonitorVsRemote:
        return "VS Remote";
    case MonitorX:
        return "X";
    case MonitorPredefined:
        return "pre-defined";
    default:
        return "unknown";
    }
}

bool DecodeMonitorRequest(const char *bytes, size_t length, DecodedRequest *request,
                          char *error, size_t errorSize)
{
    memset(request, 0, sizeof *request);
    if (error != nullptr && errorSize > 0)
        error[0] = '\0';
    if (length == 0)
        return Fail(error, errorSize, "empty request");
    if (length > RequestBufferSize - 1)
        return Fail(error, errorSize, "longer than any request the opener sends");
    if (bytes[length - 1] != '\0')
        return Fail(error, errorSize, "the last string has no terminating NUL");

    const char *strings[MaxStrings];
    int32_t count = 0;
    if (!SplitStrings(bytes, length, strings, &count, error, errorSize))
        return false;
    request->stringCount = count;

    if (strncmp(strings[0], "DEF ", 4) == 0) {
        if (count != 1)
            return Fail(error, errorSize, "a DEF request is one string");
        if (!ReadPredefined(strings[0], request, error, errorSize))
            return false;
    } else if (strncmp(strings[0], "RTD ", 4) == 0) {
        if (!ReadRtdRequest(strings, count, request, error, errorSize))
            return false;
    } else {
        return Fail(error, errorSize, "neither a DEF nor an RTD request");
    }

    /* The proof: the opener's own formatting gives the same bytes. */
    char again[RequestBufferSize];
    memset(again, 0, sizeof again);
    int32_t againLength = 0;
    FormatMonitorRequest(&request->settings, &request->fonts, again, &againLength);
    if ((size_t)againLength != length || memcmp(again, bytes, length) != 0)
        return Fail(error, errorSize, "not in the form the opener writes it");
    return true;
}
