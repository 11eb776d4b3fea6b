/*
 * cmdlinecore.cpp: the opener's command-line parse (see cmdlinecore.h).
 *
 * Blanks, tokens and the program name are split as in common/core/cmdtext.h.
 * Options are recognised by a fixed number of leading characters, in one
 * all-lower-case and one all-upper-case spelling; whatever follows the
 * compared characters without a blank is parsed as the next token.
 */
#include "cmdlinecore.h"

#include <string.h>

#include "cmdtext.h"
#include "textbuf.h"

const char TextArgumentError[] = "Command line argument error.";
const char TextMultipleParameters[] = "Multiple same parameters are not allowed.";
const char TextNotFromWorkstation[] =
    "The command line argument -n can not be used from a Gridvane workstation.";
const char TextDAndDefault[] = "both -d and -default parameters are not allowed.";
const char TextCreateDirWithoutStart[] =
    "Command line parameter -serv_create_dir_disabled used without -start_serv.";
const char TextNWithoutMonitor[] =
    "-n used without specifying the pre defined or default monitor.";
const char TextFontsWithD[] = "Arguments -fr, -fl and -s are not allowed with -d.";

namespace {

enum OptionId {
    OptDefault,
    OptPredefined,
    OptRetry,
    OptRemoteFont,
    OptLocalFont,
    OptCreateDirDisabled,
    OptStartService,
    OptStartAsLogonUser,
    OptSize,
    OptNonInteractive,
    OptionCount
};

struct OptionSpelling {
    const char *lower;
    const char *upper;
    size_t compared;
};

/* In the order they are tried: the first match wins. */
const OptionSpelling spellings[OptionCount] = {
    {"-default", "-DEFAULT", 8},
    {"-d ", "-D ", 3},
    {"-r", "-R", 2},
    {"-fr", "-FR", 3},
    {"-fl", "-FL", 3},
    {"-serv_create_dir_disabled", "-SERV_CREATE_DIR_DISABLED", 25},
    {"-start_serv", "-START_SERV", 11},
    {"-start_as_logon_user", "-START_AS_LOGON_USER", 20},
    {"-s", "-S", 2},
    {"-n", "-N", 2},
};

const char *NextToken(const char *p)
{
    return SkipBlanks(TokenEnd(p));
}

bool Matches(const char *p, int id)
{
    const OptionSpelling &s = spellings[id];
    return strncmp(p, s.lower, s.compared) == 0 || strncmp(p, s.upper, s.compared) == 0;
}

bool IsLongerSOption(const char *p)
{
    return Matches(p, OptCreateDirDisabled) || Matches(p, OptStartService) ||
           Matches(p, OptStartAsLogonUser);
}

/* Does a token after the one at current begin with one of the option's
 * spellings? Option values count like any other token. */
bool RepeatedLater(const char *current, int id)
{
    for (const char *p = NextToken(current); *p != '\0'; p = NextToken(p)) {
        if (!Matches(p, id))
            continue;
        if (id == OptSize && IsLongerSOption(p))
            continue;
        return true;
    }
    return false;
}

/* A run of decimal digits up to the next blank, converted like atoi but
 * saturated at the largest int32 instead of overflowing. */
bool ReadNumber(const char **cursor, int32_t *value)
{
    const char *start = SkipBlanks(*cursor);
    const char *end = TokenEnd(start);
    size_t length = (size_t)(end - start);
    uint64_t n = 0;
    if (length == 0 || ReadDecimalDigits(start, length, &n, INT32_MAX) != length)
        return false;
    *value = (int32_t)n;
    *cursor = end;
    return true;
}

/* The node name of -d: a run of non-blank characters. Names longer than the
 * opener's 15-character node field are refused rather than cut, since a cut
 * name would ask another computer. */
bool ReadNodeName(const char **cursor, char *node, size_t size)
{
    const char *start = SkipBlanks(*cursor);
    const char *end = TokenEnd(start);
    size_t length = (size_t)(end - start);
    if (length == 0 || length > NodeNameMax)
        return false;
    CopyTextN(node, size, start, length);
    *cursor = end;
    return true;
}

/* A value in double quotes, 1..127 characters, blanks included. */
bool ReadQuotedText(const char **cursor, char *text, size_t size)
{
    const char *p = SkipBlanks(*cursor);
    if (*p != '"')
        return false;
    p++;
    const char *close = strchr(p, '"');
    if (close == NULL)
        return false;
    size_t length = (size_t)(close - p);
    if (length == 0 || length > FontValueMax)
        return false;
    CopyTextN(text, size, p, length);
    *cursor = close + 1;
    return true;
}

void ResetOptions(CommandLineOptions *o)
{
    o->interactive = true;
    o->monitorFromDialog = 1;
    o->predefinedSetting = 0;
    o->retryGiven = false;
    o->retryCount = 0;
    o->localFontGiven = false;
    o->remoteFontGiven = false;
    o->serviceCreateDirDisabled = false;
    o->startService = false;
    o->startAsLogonUser = false;
    o->useDefault = false;
}

/* Pass 1: the -n decision, made before any other option is looked at. */
bool CheckNonInteractive(const char *arguments, ProductCheck productInstalled,
                         void *context, CommandLineOptions *o, const char **message)
{
    for (const char *p = arguments; *p != '\0'; p = NextToken(p)) {
        if (!Matches(p, OptNonInteractive))
            continue;
        if (RepeatedLater(p, OptNonInteractive)) {
            *message = TextMultipleParameters;
            return false;
        }
        if (!productInstalled(context)) {
            *message = TextNotFromWorkstation;
            return false;
        }
        o->interactive = false;
        return true;
    }
    return true;
}

/* The rules on the options taken together, checked after the last one. */
bool CheckCombinations(const CommandLineOptions *o, bool sizeGiven, const char **message)
{
    if (o->serviceCreateDirDisabled && !o->startService) {
        *message = TextCreateDirWithoutStart;
        return false;
    }
    if (!o->interactive && o->monitorFromDialog == 1 && !o->useDefault) {
        *message = TextNWithoutMonitor;
        return false;
    }
    if ((o->remoteFontGiven || o->localFontGiven || sizeGiven) && o->monitorFromDialog == 0) {
        *message = TextFontsWithD;
        return false;
    }
    return true;
}

} // namespace

bool ParseArguments(const char *commandLine, ProductCheck productInstalled,
                    void *context, CommandLineOptions *o, int32_t *pictureSizeIndex,
                    MonitorSettings *settings, const char **message)
{
    *message = NULL;
    ResetOptions(o);
    const char *arguments = SkipProgramName(commandLine);
    if (!CheckNonInteractive(arguments, productInstalled, context, o, message))
        return false;

    bool sizeGiven = false;
    const char *p = arguments;
    while (*p != '\0') {
        int id = 0;
        while (id < OptionCount && !Matches(p, id))
            id++;
        if (id == OptionCount) {
            *message = TextArgumentError;
            return false;
        }
        if ((id == OptPredefined && o->useDefault) ||
            (id == OptDefault && o->monitorFromDialog == 0)) {
            *message = TextDAndDefault;
            return false;
        }
        if (id != OptNonInteractive && RepeatedLater(p, id)) {
            *message = TextMultipleParameters;
            return false;
        }
        const char *cursor = p + spellings[id].compared;
        bool valueOk = true;
        switch (id) {
        case OptDefault:
            o->useDefault = true;
            break;
        case OptPredefined:
            valueOk = ReadNodeName(&cursor, o->predefinedNode, sizeof o->predefinedNode) &&
                      ReadNumber(&cursor, &o->predefinedSetting);
            if (valueOk)
                o->monitorFromDialog = 0;
            break;
        case OptRetry:
            valueOk = ReadNumber(&cursor, &o->retryCount);
            o->retryGiven = valueOk;
            break;
        case OptRemoteFont:
            valueOk = ReadQuotedText(&cursor, settings->remoteFont, sizeof settings->remoteFont);
            o->remoteFontGiven = valueOk;
            break;
        case OptLocalFont:
            valueOk = ReadQuotedText(&cursor, settings->localFont, sizeof settings->localFont);
            o->localFontGiven = valueOk;
            break;
        case OptCreateDirDisabled:
            o->serviceCreateDirDisabled = true;
            break;
        case OptStartService:
            o->startService = true;
            break;
        case OptStartAsLogonUser:
            o->startAsLogonUser = true;
            break;
        case OptSize:
            valueOk = ReadNumber(&cursor, pictureSizeIndex);
            sizeGiven = valueOk;
            break;
        default: /* -n: decided in pass 1 */
            break;
        }
        if (!valueOk) {
            *message = TextArgumentError;
            return false;
        }
        p = SkipBlanks(cursor);
    }

    return CheckCombinations(o, sizeGiven, message);
}
