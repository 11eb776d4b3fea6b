#!/usr/bin/env python3
"""coverage-report.py: the report of scripts/coverage, from gcc's counts.

Reads the counts of every object of the counted folders (common, monopen,
notify) in the build trees given, through gcov's JSON output, and adds them
up per source line: a core file counts what the unit tests ran natively and
what the end-to-end tests ran in the programs; notify's two builds (the
program and its test build with simulated failures) count together. Writes
the report (per program and folder, per file, and the lines never run
grouped by function) and prints its summary.

  coverage-report.py --top DIR --out FILE [--note TEXT]... [--runs DIR]
                     --tree GCOV:ORIGIN:BUILDDIR...
"""
import argparse
import glob
import json
import os
import subprocess
import sys

FOLDERS = ["monopen/core", "monopen/win32", "notify/core", "notify/win32",
           "common/core", "common/win32"]
PROGRAMS = ["monopen", "notify", "common"]


class Line:
    __slots__ = ("counts", "branches", "function")

    def __init__(self):
        self.counts = {}     # origin -> times run
        self.branches = {}   # origin -> [bool taken] of the objects of that origin
        self.function = ""


def gcov_documents(gcov, notes):
    """gcov's JSON for each .gcno (no .gcda: nothing of it ran)."""
    for start in range(0, len(notes), 40):
        chunk = notes[start:start + 40]
        result = subprocess.run([gcov, "-b", "--json-format", "--stdout"] + chunk,
                                capture_output=True, text=True, cwd=os.path.dirname(chunk[0]))
        if result.returncode != 0:
            sys.exit("%s failed: %s" % (gcov, result.stderr.strip()))
        for text in result.stdout.splitlines():
            if text.strip():
                yield json.loads(text)


def merge_branches(old, new):
    """Branches of one line from two objects: the same branches are taken
    when either took them; where the builds differ (notify's test build has
    more), the one with more branches stands."""
    if old is None:
        return new
    if len(old) == len(new):
        return [a or b for a, b in zip(old, new)]
    return new if len(new) > len(old) else old


def read_tree(top, gcov, origin, build, files, functions):
    notes = []
    for folder in ("common", "monopen", "notify"):
        notes += glob.glob(os.path.join(build, folder, "CMakeFiles", "*.dir", "**", "*.gcno"),
                           recursive=True)
    if not notes:
        sys.exit("no coverage notes (.gcno) under %s: was it built with GV_COVERAGE=ON?" % build)
    for document in gcov_documents(gcov, sorted(notes)):
        for source in document["files"]:
            path = os.path.normpath(os.path.join(document["current_working_directory"],
                                                 source["file"]))
            relative = os.path.relpath(path, top)
            # covdump.cpp is the coverage build's own hook, not the programs'.
            if relative.split(os.sep)[0] not in PROGRAMS or relative.endswith("covdump.cpp"):
                continue
            names = {}
            for function in source["functions"]:
                names[function["name"]] = function["demangled_name"]
                key = (relative, function["demangled_name"])
                functions[key] = functions.get(key, 0) + function["execution_count"]
            lines = files.setdefault(relative, {})
            for entry in source["lines"]:
                line = lines.setdefault(entry["line_number"], Line())
                line.counts[origin] = line.counts.get(origin, 0) + entry["count"]
                name = entry.get("function_name", "")
                if name and not line.function:
                    line.function = names.get(name, name)
                taken = [b["count"] > 0 for b in entry["branches"] if not b["throw"]]
                if taken:
                    line.branches[origin] = merge_branches(line.branches.get(origin), taken)


def line_run(line, origins=None):
    return any(count > 0 for origin, count in line.counts.items()
               if origins is None or origin in origins)


def branch_counts(line):
    """(taken, total) over the origins: the origin with more branches stands."""
    merged = None
    for origin in sorted(line.branches):
        merged = merge_branches(merged, line.branches[origin])
    if not merged:
        return 0, 0
    return sum(merged), len(merged)


class Tally:
    def __init__(self):
        self.lines = self.run = self.branches = self.taken = 0
        self.by_origin = {}

    def add_file(self, lines):
        for line in lines.values():
            self.lines += 1
            self.run += line_run(line)
            taken, total = branch_counts(line)
            self.taken += taken
            self.branches += total
            for origin in line.counts:
                self.by_origin[origin] = self.by_origin.get(origin, 0) + line_run(line, [origin])


def percent(part, whole):
    return "%5.1f %%" % (100.0 * part / whole) if whole else "    -  "


def tally_row(name, tally, origins):
    text = "%-26s %5d/%-5d %s   %5d/%-5d %s" % (
        name, tally.run, tally.lines, percent(tally.run, tally.lines),
        tally.taken, tally.branches, percent(tally.taken, tally.branches))
    for origin in origins:
        if origin in tally.by_origin:
            text += "   %s" % percent(tally.by_origin[origin], tally.lines)
        else:
            text += "   %7s" % "-"
    return text


def ranges(numbers):
    """1,2,3,7 -> "1-3, 7" (numbers adjacent among the executable lines)."""
    parts = []
    for first, last in numbers:
        parts.append(str(first) if first == last else "%d-%d" % (first, last))
    return ", ".join(parts)


def never_run(lines, functions, relative):
    """{function: [(first, last)]}: lines never run, adjacent ones (no line
    that runs between them) joined."""
    groups = {}
    previous = None  # (function, index in groups list) of the last unrun line
    for number in sorted(lines):
        line = lines[number]
        if line_run(line):
            previous = None
            continue
        spans = groups.setdefault(line.function, [])
        if previous == line.function and spans:
            spans[-1] = (spans[-1][0], number)
        else:
            spans.append((number, number))
        previous = line.function
    return groups


def read_runs(folder):
    """Program runs of the coverage build: {program: [by itself, dumped, neither]}."""
    runs = {}
    for path in glob.glob(os.path.join(folder, "*.run")):
        with open(path, errors="replace") as handle:
            words = handle.read().split()
        program = words[1].lower() if len(words) > 1 and words[0] == "start" else "?"
        tally = runs.setdefault(program, [0, 0, 0])
        if "exit" in words:
            tally[0] += 1
        elif "dump" in words:
            tally[1] += 1
        else:
            tally[2] += 1
    return runs


def runs_text(runs):
    if not runs:
        return ["program runs: none recorded"]
    total = [sum(t[i] for t in runs.values()) for i in range(3)]
    text = ["program runs of the end-to-end tests: %d; %d ended by themselves, %d were ended by"
            % (sum(total), total[0], total[1]),
            "TerminateProcess after writing their counts, %d ended without writing any (not asked"
            " first, crashed, or left running)" % total[2]]
    for program in sorted(runs):
        t = runs[program]
        text.append("    %-20s %4d runs: %4d by themselves, %3d by TerminateProcess, %3d no counts"
                    % (program, sum(t), t[0], t[1], t[2]))
    return text


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--top", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--runs")
    parser.add_argument("--note", action="append", default=[])
    parser.add_argument("--tree", action="append", required=True,
                        help="GCOV:ORIGIN:BUILDDIR, e.g. gcov:unit:build/coverage-host")
    options = parser.parse_args()
    top = os.path.realpath(options.top)

    files, functions, origins = {}, {}, []
    for tree in options.tree:
        gcov, origin, build = tree.split(":", 2)
        origins.append(origin)
        read_tree(top, gcov, origin, os.path.realpath(build), files, functions)

    heading = "%-26s %11s %7s   %11s %7s" % ("", "lines run", "", "branches", "taken")
    heading += "".join("   %7s" % ("by " + o) for o in origins)

    summary = list(options.note)
    if options.runs:
        summary += runs_text(read_runs(options.runs))
    summary += ["", heading]
    every = Tally()
    for program in PROGRAMS:
        whole = Tally()
        rows = []
        for folder in [f for f in FOLDERS if f.startswith(program + "/")]:
            part = Tally()
            for relative in files:
                if relative.startswith(folder + "/"):
                    part.add_file(files[relative])
                    whole.add_file(files[relative])
                    every.add_file(files[relative])
            rows.append(tally_row("  " + folder, part, origins))
        summary.append(tally_row(program, whole, origins))
        summary += rows
    summary.append(tally_row("all", every, origins))

    report = ["Coverage of the programs' own code by the tests (scripts/coverage)", ""]
    report += summary
    report += ["", "== per file", heading]
    for relative in sorted(files):
        tally = Tally()
        tally.add_file(files[relative])
        report.append(tally_row(relative, tally, origins))

    report += ["", "== lines never run, by function (line numbers; a range may hold "
               "lines that are not code, never one that ran)"]
    for relative in sorted(files):
        groups = never_run(files[relative], functions, relative)
        if not groups:
            continue
        report.append(relative)
        for function in sorted(groups, key=lambda f: groups[f][0][0]):
            called = functions.get((relative, function), 1)
            mark = "  (never called)" if called == 0 and function else ""
            report.append("    %s%s: %s" % (function or "(outside a function)", mark,
                                             ranges(groups[function])))

    os.makedirs(os.path.dirname(os.path.abspath(options.out)), exist_ok=True)
    with open(options.out, "w") as handle:
        handle.write("\n".join(report) + "\n")
    print("\n".join(summary))


if __name__ == "__main__":
    main()
