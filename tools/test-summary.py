#!/usr/bin/env python3
"""Counts test cases across suites: a ctest entry that wrote a GoogleTest XML
report counts its test cases; any other ctest entry counts as one test."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(report):
    root = ET.parse(report).getroot()
    tests = int(root.get("tests", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
    return tests - failed - skipped, failed, skipped


def suite_counts(build):
    reports = build / "reports"
    junit = reports / "ctest-junit.xml"
    passed = failed = skipped = 0
    if not junit.exists():
        return 0, 1, 0
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        status = case.get("status", "")
        report = reports / f"{name}.xml"
        if report.exists():
            p, f, s = gtest_counts(report)
            if status == "fail" and f == 0:
                f = 1  # the program failed after its tests had passed
            passed, failed, skipped = passed + p, failed + f, skipped + s
        elif status == "run":
            passed += 1
        elif status in ("disabled", "notrun") and case.find("skipped") is not None:
            skipped += 1
        else:
            failed += 1
    return passed, failed, skipped


def main(presets):
    total = [0, 0, 0]
    for preset in presets:
        p, f, s = suite_counts(Path("build") / preset)
        print(f"{preset}: {p} passed, {f} failed, {s} skipped")
        total = [total[0] + p, total[1] + f, total[2] + s]
    print(f"total: {total[0]} passed, {total[1]} failed, {total[2]} skipped")
    return 0 if total[1] == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
