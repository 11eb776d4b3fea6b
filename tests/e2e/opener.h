/*
 * opener.h: monopen.exe and the probe of its service operations, run to
 * their end as an operator would.
 */
#ifndef GV_TESTS_OPENER_H
#define GV_TESTS_OPENER_H

#include <string>

#include "harness.h"

namespace gv {

extern const char OpenerCaption[]; /* "Gridvane Monitor" */

std::string OpenerPath();

/* Runs monopen (or the copy exe) with the arguments until it ends,
 * pressing OK in its message boxes. The current directory defaults to the
 * installation's PROG\EXEC directory, where the opener is meant to run. */
ProgramRun RunOpener(const std::string &arguments, StartOptions options = StartOptions(),
                     DWORD timeoutMs = 20000, const std::string &exe = OpenerPath());
/* Starts it there, for a test that drives it. */
Outcome StartOpener(Child &child, const std::string &arguments,
                    StartOptions options = StartOptions());

/* Runs monopen's test build the same way, the points of faults.h named
 * in faults failing (GV_MONOPEN_FAULTS). */
ProgramRun RunOpenerWithFaults(const std::string &arguments, const std::string &faults,
                               StartOptions options = StartOptions());
/* How often the text occurs in the run's output. */
int OutputCount(const ProgramRun &run, const std::string &text);
/* How often the test build's point failed: each failure is a note in
 * Wine's debug output when the program runs with warn+debugstr. */
int FaultCount(const ProgramRun &run, const std::string &point);

/* Runs svcprobe (one service operation of the opener) the same way, with
 * its output captured. */
ProgramRun RunProbe(const std::string &arguments, StartOptions options = StartOptions(),
                    DWORD timeoutMs = 20000);

} // namespace gv

#endif
