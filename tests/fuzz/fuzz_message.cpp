// Message headers and sequence numbers over arbitrary runs of messages
// (one message per line of the input). The header split keeps to the
// buffer and gives the sequence, kind and text the format defines; while
// the numbers stay in 1..9999 the lost-message counts are exactly the
// numbers skipped going forward through 9999 and 1.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "fuzzcheck.h"
#include "hosttable.h"
#include "message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HostEntry entry;
    ResetHostEntry(&entry, 0);
    std::string input((const char *)data, size);
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        std::string message = input.substr(start, end - start);
        start = end + 1;

        // The message as the reader holds it: its bytes and a zero, no more.
        std::unique_ptr<char[]> buffer(new char[message.size() + 1]);
        memcpy(buffer.get(), message.data(), message.size());
        buffer[message.size()] = '\0';
        std::string text = buffer.get(); /* up to the first zero byte */
        int32_t sequence = -12345;
        char kind = '?';
        bool parsed = ParseMessageHeader(buffer.get(), &sequence, &kind);
        FUZZ_CHECK(parsed == (text.size() >= 5));
        if (!parsed) {
            FUZZ_CHECK(sequence == -12345 && kind == '?');
            FUZZ_CHECK(text == buffer.get());
            continue;
        }
        FUZZ_CHECK(kind == text[5]);
        FUZZ_CHECK(sequence == atoi(text.substr(0, 4).c_str()));
        FUZZ_CHECK(std::string(buffer.get()) == (text.size() > 7 ? text.substr(7) : ""));

        int32_t last = entry.lastSequence;
        uint32_t missing = CheckSequence(&entry, sequence);
        if (sequence == 0) {
            FUZZ_CHECK(missing == 0 && entry.lastSequence == last);
            continue;
        }
        FUZZ_CHECK(entry.lastSequence == sequence);
        bool inRange = sequence >= 1 && sequence <= 9999 && (last == -1 || (last >= 1 && last <= 9999));
        if (inRange) {
            uint32_t expected = last == -1 ? 0 : (uint32_t)(((sequence - last - 1) % 9999 + 9999) % 9999);
            FUZZ_CHECK(missing == expected);
        }
    }
    return 0;
}
