// The monitor request over arbitrary settings: every byte of the record
// (text fields without their zero included, any monitor type and number)
// and both font flags. The request stays inside its 1024-byte buffer with
// the empty string after it, its length is the sum of its strings with
// their zeros, and it has the strings its type defines, DISPLAY last.
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzzcheck.h"
#include "request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<MonitorSettings> settings(new MonitorSettings());
    std::unique_ptr<CommandLineOptions> options(new CommandLineOptions());
    size_t taken = size < sizeof *settings ? size : sizeof *settings;
    memcpy(settings.get(), data, taken);
    uint8_t flags = size > sizeof *settings ? data[sizeof *settings] : 0;
    options->localFontGiven = (flags & 1) != 0;
    options->remoteFontGiven = (flags & 2) != 0;

    std::unique_ptr<char[]> buffer(new char[RequestBufferSize]);
    memset(buffer.get(), 0, RequestBufferSize);
    int32_t length = -1;
    FormatMonitorRequest(settings.get(), options.get(), buffer.get(), &length);

    FUZZ_CHECK(length > 0 && length < RequestBufferSize);
    for (int32_t i = length; i < RequestBufferSize; i++)
        FUZZ_CHECK(buffer[i] == '\0'); /* the empty string, and nothing written after it */
    std::vector<std::string> strings;
    for (int32_t p = 0; p < length;) {
        std::string s = buffer.get() + p;
        FUZZ_CHECK(!s.empty());
        strings.push_back(s);
        p += (int32_t)s.size() + 1;
        FUZZ_CHECK(p <= length); /* the strings add up to the length exactly */
    }
    int32_t type = settings->monitorType;
    size_t count = type == MonitorPredefined ? 1 : type == MonitorVsLocal ? 5 : type == MonitorVsRemote ? 6 : 4;
    FUZZ_CHECK(strings.size() == count);
    if (type == MonitorPredefined) {
        FUZZ_CHECK(strings[0].compare(0, 4, "DEF ") == 0 && strings[0].back() == ' ');
        return 0;
    }
    FUZZ_CHECK(strings[0].compare(0, 4, "RTD ") == 0);
    FUZZ_CHECK(strings.back().compare(0, 8, "DISPLAY=") == 0);
    if (type == MonitorVsLocal)
        FUZZ_CHECK(strings.back() == "DISPLAY=");
    else
        FUZZ_CHECK(strings.back().size() - 8 < (size_t)DisplaySize);
    return 0;
}
