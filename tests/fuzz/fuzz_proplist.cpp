// The monitor property-list walk over arbitrary buffers. Every entry up to
// the empty string (or the end of the buffer) is split at its first equals
// sign and handed over in order; the syntax message comes at most once and
// never after a failed variable; nothing outside the buffer is touched and
// nothing inside it but the equals signs that split entries.
#include <stdint.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzzcheck.h"
#include "proplist.h"

namespace {

struct Walk {
    std::vector<std::string> names;
    std::vector<std::string> values;
    int syntaxErrors = 0;
    bool failedSet = false;
    bool syntaxAfterFailure = false;
};

/* A variable whose value holds '!' cannot be set. */
bool Set(void *context, const char *name, const char *value)
{
    Walk *walk = (Walk *)context;
    walk->names.push_back(name);
    walk->values.push_back(value);
    bool ok = strchr(value, '!') == nullptr;
    if (!ok)
        walk->failedSet = true;
    return ok;
}

void SyntaxError(void *context)
{
    Walk *walk = (Walk *)context;
    walk->syntaxErrors++;
    if (walk->failedSet)
        walk->syntaxAfterFailure = true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<char[]> list(new char[size > 0 ? size : 1]);
    memcpy(list.get(), data, size);
    Walk walk;
    PropertyActions actions = {Set, SyntaxError, &walk};
    bool clean = WalkPropertyList(list.get(), size, &actions);

    // What the walk should have met, entry by entry.
    std::vector<char> expected(data, data + size);
    size_t setCalls = 0;
    bool problem = false;
    bool syntaxFirst = false;
    for (size_t p = 0; p < size;) {
        const char *entry = (const char *)data + p;
        const void *end = memchr(entry, '\0', size - p);
        if (end == nullptr || end == entry)
            break;
        size_t length = (size_t)((const char *)end - entry);
        const void *equals = memchr(entry, '=', length);
        if (equals != nullptr) {
            size_t at = (size_t)((const char *)equals - entry);
            FUZZ_CHECK(setCalls < walk.names.size());
            FUZZ_CHECK(walk.names[setCalls] == std::string(entry, at));
            FUZZ_CHECK(walk.values[setCalls] == std::string(entry + at + 1, length - at - 1));
            if (walk.values[setCalls].find('!') != std::string::npos)
                problem = true;
            expected[p + at] = '\0';
            setCalls++;
        } else if (!problem) {
            problem = true;
            syntaxFirst = true;
        }
        p += length + 1;
    }
    FUZZ_CHECK(setCalls == walk.names.size());
    FUZZ_CHECK(walk.syntaxErrors == (syntaxFirst ? 1 : 0));
    FUZZ_CHECK(!walk.syntaxAfterFailure);
    FUZZ_CHECK(clean == !problem);
    FUZZ_CHECK(size == 0 || memcmp(list.get(), expected.data(), size) == 0);
    return 0;
}
