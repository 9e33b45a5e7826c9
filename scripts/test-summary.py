#!/usr/bin/env python3
"""Counts what one test run ran, per target: the GoogleTest cases that ran
and passed (from the XML each test program writes) and the other CTest
entries (fuzz runs, document and DLL checks), from CTest's JUnit file.

    test-summary.py TARGET:XMLDIR:CTESTJUNIT ...

Prints a line per target, each program that Wine failed to start and that
was started once more (restarts.log in XMLDIR, written by scripts/wine-run)
and, last, the totals as "N passed, N failed".
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def gtest_cases(xml_dir):
    """({full name: passed?} of the cases that wrote a result, {names listed})
    over every GoogleTest XML file in xml_dir. CTest's discovery lists each
    program's cases (--gtest_list_tests writes them without a status)."""
    results, listed = {}, set()
    for path in sorted(glob.glob(os.path.join(xml_dir, "*.xml"))):
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            continue  # a program that died while writing; CTest reports it
        for suite in root.iter("testsuite"):
            for case in suite.iter("testcase"):
                note(suite.get("name"), case, results, listed)
    return results, listed


def note(suite, case, results, listed):
    name = "%s.%s" % (suite, case.get("name"))
    if case.get("status") is None:
        listed.add(name)
        return
    ran = case.get("status") == "run" and case.get("result", "completed") == "completed"
    results[name] = ran and case.find("failure") is None and case.find("error") is None


def ctest_entries(junit):
    """[(name, passed?)] from CTest's JUnit output."""
    if not os.path.exists(junit):
        return []
    entries = []
    for case in ET.parse(junit).getroot().iter("testcase"):
        failed = case.find("failure") is not None or case.find("error") is not None
        ran = case.get("status", "run") in ("run", "passed") and case.find("skipped") is None
        entries.append((case.get("name"), ran and not failed))
    return entries


def restarts(xml_dir):
    """The programs started once more because they never started, one line each."""
    try:
        with open(os.path.join(xml_dir, "restarts.log")) as log:
            return [line.strip() for line in log if line.strip()]
    except OSError:
        return []


def main(args):
    total_passed = total_failed = 0
    restarted = []
    for arg in args:
        target, xml_dir, junit = arg.split(":", 2)
        results, listed = gtest_cases(xml_dir)
        entries = ctest_entries(junit)
        # A case counts by its own XML; where two programs ran at once and
        # one's file was lost, or a program died before writing, by its
        # CTest entry.
        cases = dict((n, results.get(n, ok)) for n, ok in entries if n in listed or n in results)
        others = [(n, ok) for n, ok in entries if n not in cases]
        passed = sum(1 for ok in cases.values() if ok)
        others_passed = sum(1 for _, ok in others if ok)
        print("%s: %d GoogleTest cases passed (of %d), %d other CTest entries passed (of %d)"
              % (target, passed, len(cases), others_passed, len(others)))
        restarted += ["%s: %s" % (target, line) for line in restarts(xml_dir)]
        total_passed += passed + others_passed
        total_failed += len(cases) - passed + len(others) - others_passed
    print("restarts: %d (programs that never started, started once more)" % len(restarted))
    for line in restarted:
        print("  restarted %s" % line)
    print("test.sh: %d passed, %d failed" % (total_passed, total_failed))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
