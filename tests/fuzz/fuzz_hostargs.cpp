// notify's computer names over arbitrary command lines and computer names:
// the two names taken as the window takes them, then their pipe paths.
// A name is never cut (it stands whole in the command line), never holds a
// blank, counts as local only when it begins with the computer name, and
// its pipe path is the fixed pattern around it. A refused name is reported
// by what stands on the line, within a pane line.
#include <ctype.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>

#include "fuzzcheck.h"
#include "hostargs.h"
#include "hosttable.h"
#include "panecore.h"

namespace {

std::string Upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

/* Does the name stand whole in the line: preceded by a blank (or a closing
 * quote of the program name) and followed by a blank or the line's end? */
bool StandsWhole(const std::string &line, const std::string &name)
{
    for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + 1)) {
        size_t end = at + name.size();
        bool before = at > 0 && (line[at - 1] == ' ' || line[at - 1] == '"');
        bool after = end == line.size() || line[end] == ' ';
        if (before && after)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::string rest((const char *)data + 1, size - 1);
    rest = rest.substr(0, rest.find('\0'));
    // The computer name, up to the first line feed (none: unknown).
    bool knowsComputer = (data[0] & 1) != 0;
    size_t split = rest.find('\n');
    std::string computer = split == std::string::npos ? "" : rest.substr(0, split);
    std::string line = split == std::string::npos ? rest : rest.substr(split + 1);
    if (computer.size() > 15 || computer.empty() || computer.find(' ') != std::string::npos)
        knowsComputer = false; /* GetComputerNameA gives 1..15 characters, no blank */

    std::unique_ptr<ArgumentCursor> cursor(new ArgumentCursor());
    for (int index = 0; index < MaxHosts; index++) {
        std::unique_ptr<char[]> hostName(new char[HostNameSize]);
        std::unique_ptr<char[]> pipeName(new char[PipeNameSize]);
        bool isLocal = true;
        std::unique_ptr<RefusedName> refused(new RefusedName());
        bool taken = NextHostArgument(cursor.get(), line.c_str(),
                                      knowsComputer ? computer.c_str() : nullptr, index == 0,
                                      hostName.get(), &isLocal, refused.get());
        std::string name = hostName.get();
        FUZZ_CHECK(taken || name.empty());
        FUZZ_CHECK(refused->reason == NameTaken || (taken && name.empty() && !isLocal));
        if (refused->reason != NameTaken) {
            /* Named by what stands on the line: whole, or its first characters. */
            std::string given = refused->given;
            FUZZ_CHECK(refused->length > 0 && given.size() <= RefusedNameShown);
            FUZZ_CHECK(given.size() == std::min<size_t>(refused->length, RefusedNameShown));
            FUZZ_CHECK(given.find(' ') == std::string::npos);
            FUZZ_CHECK(line.find(given) != std::string::npos);
            if (refused->length == given.size())
                FUZZ_CHECK(StandsWhole(line, given));
            FUZZ_CHECK((refused->reason == NameTooLong) == (refused->length >= HostNameSize));
            std::unique_ptr<char[]> report(new char[PaneLineSize - sizeof "[notify] " + 1]);
            FormatRefusedName(report.get(), PaneLineSize - sizeof "[notify] " + 1, refused.get());
            std::string text = report.get();
            FUZZ_CHECK(text.find("\"" + given) != std::string::npos);
            FUZZ_CHECK(text.back() == '.'); /* the reason fits after the name */
        }
        FUZZ_CHECK(name.find(' ') == std::string::npos);
        bool isDefault = index == 0 && knowsComputer && name == computer && isLocal &&
                         !StandsWhole(line, name);
        if (!name.empty() && !isDefault)
            FUZZ_CHECK(StandsWhole(line, name));
        if (isLocal && !name.empty())
            FUZZ_CHECK(knowsComputer && Upper(name).compare(0, computer.size(), Upper(computer)) == 0);
        if (!isLocal && knowsComputer && !name.empty())
            FUZZ_CHECK(Upper(name).compare(0, computer.size(), Upper(computer)) != 0);

        bool formatted = FormatPipeName(hostName.get(), pipeName.get(), isLocal);
        FUZZ_CHECK(formatted == !name.empty());
        if (formatted)
            FUZZ_CHECK(std::string(pipeName.get()) ==
                       "\\\\" + (isLocal ? std::string(".") : name) + "\\pipe\\KPX\\PIPE_stderr");
    }
    return 0;
}
