// The opener's command-line parse over arbitrary command lines, with the
// base system installed or not. Besides memory errors it checks what the
// parse promises: a message exactly when it fails, font values of 1..127
// characters, a node name that fits the node field, no field of the
// monitor settings written but the two fonts, and the final rules.
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>

#include "cmdlinecore.h"
#include "fuzzcheck.h"

namespace {

struct Check {
    bool installed;
    int calls;
};

bool ProductInstalled(void *context)
{
    Check *check = (Check *)context;
    check->calls++;
    return check->installed;
}

bool IsKnownMessage(const char *m)
{
    const char *known[] = {TextArgumentError,   TextMultipleParameters,    TextNotFromWorkstation,
                           TextDAndDefault,     TextCreateDirWithoutStart, TextNWithoutMonitor,
                           TextFontsWithD};
    for (const char *k : known)
        if (m == k)
            return true;
    return false;
}

size_t FieldLength(const char *field, size_t size)
{
    const void *end = memchr(field, '\0', size);
    FUZZ_CHECK(end != nullptr); // every field written ends inside itself
    return (size_t)((const char *)end - field);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Check check = {(data[0] & 1) != 0, 0};
    std::string line((const char *)data + 1, size - 1);
    line = line.substr(0, line.find('\0')); // a command line holds no NUL

    // Exactly sized heap records: a write past either is caught.
    std::unique_ptr<CommandLineOptions> options(new CommandLineOptions());
    std::unique_ptr<MonitorSettings> settings(new MonitorSettings());
    std::unique_ptr<MonitorSettings> before(new MonitorSettings());
    memset(settings.get(), 0x5A, sizeof *settings);
    settings->localFont[0] = settings->remoteFont[0] = '\0';
    memcpy(before.get(), settings.get(), sizeof *settings);
    int32_t sizeIndex = 1;
    const char *message = nullptr;

    bool ok = ParseArguments(line.c_str(), ProductInstalled, &check, options.get(), &sizeIndex,
                             settings.get(), &message);

    FUZZ_CHECK(ok == (message == nullptr));
    FUZZ_CHECK(ok || IsKnownMessage(message));
    FUZZ_CHECK(check.calls <= 1);
    // Only the two fonts are the parser's to write.
    FUZZ_CHECK(memcmp(settings.get(), before.get(), offsetof(MonitorSettings, remoteFont)) == 0);
    if (options->remoteFontGiven) {
        size_t n = FieldLength(settings->remoteFont, sizeof settings->remoteFont);
        FUZZ_CHECK(n >= 1 && n <= FontValueMax);
    }
    if (options->localFontGiven) {
        size_t n = FieldLength(settings->localFont, sizeof settings->localFont);
        FUZZ_CHECK(n >= 1 && n <= FontValueMax);
    }
    if (options->monitorFromDialog == 0) {
        size_t n = FieldLength(options->predefinedNode, sizeof options->predefinedNode);
        FUZZ_CHECK(n >= 1 && n <= NodeNameMax);
        FUZZ_CHECK(memchr(options->predefinedNode, ' ', n) == nullptr);
    }
    if (!options->interactive)
        FUZZ_CHECK(check.calls == 1 && check.installed);
    if (ok) {
        FUZZ_CHECK(!options->serviceCreateDirDisabled || options->startService);
        FUZZ_CHECK(options->interactive || options->monitorFromDialog == 0 ||
                   options->useDefault);
        FUZZ_CHECK(!(options->useDefault && options->monitorFromDialog == 0));
        if (options->monitorFromDialog == 0)
            FUZZ_CHECK(!options->localFontGiven && !options->remoteFontGiven);
        FUZZ_CHECK(!options->retryGiven || options->retryCount >= 0);
        FUZZ_CHECK(sizeIndex >= 0);
    }
    return 0;
}
