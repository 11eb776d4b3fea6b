/*
 * standinmpr.h: a logon that succeeds, under Wine. Wine's MPR answers
 * every logon with 1222; while a StandInMpr lives, the programs it names
 * load the stand-in (tests/fixtures/mprstandin.cpp) from the system
 * directory instead, which records each logon and logoff and answers as
 * the test scripts. Wine's DLL overrides for one program file, which these
 * set up, give such a program Windows' search order.
 */
#ifndef GV_TESTS_STANDINMPR_H
#define GV_TESTS_STANDINMPR_H

#include <string>
#include <vector>

#include "harness.h"

namespace gv {

/* Under Wine, the program file's order for one DLL: "native,builtin" loads
 * the DLL's file first, "" never loads it. */
bool SetDllOverride(const std::string &program, const char *dll, const char *value);
/* Removes the program file's overrides (its whole AppDefaults key). */
void RemoveDllOverrides(const std::string &program);

/* The file name of a program path. */
std::string FileNameOf(const std::string &path);

struct StandInMpr {
    StandInMpr() = default;
    StandInMpr(const StandInMpr &) = delete;
    StandInMpr &operator=(const StandInMpr &) = delete;
    /* The system directory's mpr.dll put back, the overrides removed. */
    ~StandInMpr();

    /* Moves the system directory's mpr.dll aside (for a 32-bit test that is
     * SysWOW64's, as for the 32-bit programs), puts the stand-in there and
     * overrides mpr for the program files. Only under Wine
     * (GV_ONLY_UNDER_WINE). */
    Outcome Install(const std::vector<std::string> &programFiles);
    /* What a program under test needs in its environment: where to record
     * its calls, and the answers of its logons in turn ("1326,0"; the
     * ones after them succeed). */
    std::vector<std::string> Environment(const std::string &answers) const;
    /* The calls recorded so far, oldest first. */
    std::vector<std::string> Calls() const;

    std::vector<std::string> programs;
    bool moved = false;
};

/* The lines the stand-in records for a logon to \\host\IPC$ and for its
 * cancellation. */
std::string LogonCall(const std::string &host, const std::string &user,
                      const std::string &password);
std::string LogoffCall(const std::string &host);

} // namespace gv

#endif
