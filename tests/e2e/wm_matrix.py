#!/usr/bin/env python3
"""Runs the docking tests under every window manager the tests know and prints a Markdown
table of the results. Usage: tests/e2e/wm_matrix.py [BUILD_DIR] (default build/linux)."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

# QUILL_WM name, Debian package (for its version), in the order of the table.
WINDOW_MANAGERS = [
    ("openbox", "openbox"),
    ("xfwm4", "xfwm4"),
    ("icewm", "icewm"),
    ("fluxbox", "fluxbox"),
    ("mutter", "mutter"),
    ("kwin_x11", "kwin-x11"),
]
SUITE = "BarDockingTest"
# Test name, column heading.
CHECKS = [
    ("ATopBarReservesItsStripAndScrollsHeadlines", "top strip"),
    ("ABottomBarReservesTheBottomStrip", "bottom strip"),
    ("AMaximisedWindowStaysClearOfTheBar", "maximised window clear"),
    ("TwoBarsOnTheSameEdgeStack", "two bars stack"),
    ("KillingTheProgramGivesTheWorkAreaBack", "work area back after kill"),
]


def version(package, program):
    query = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package],
                           capture_output=True, text=True, check=False)
    if query.returncode == 0 and query.stdout:
        return query.stdout
    answer = subprocess.run([program, "--version"], capture_output=True, text=True,
                            check=False, env={**os.environ, "DISPLAY": ""})
    lines = (answer.stdout or answer.stderr).splitlines()
    return lines[0] if lines else "?"


def first_line(text):
    lines = [line for line in text.splitlines() if line.strip()]
    return lines[0].strip() if lines else ""


def outcomes(report, log, manager, checks):
    """Each check's result ('passed', 'failed', 'skipped', 'not run') and the notes it gives:
    the reason printed for a skip, the first line of a failure."""
    results, notes = {}, []
    tests = {}
    if report.exists():
        for suite in json.loads(report.read_text()).get("testsuites", []):
            for test in suite.get("testsuite", []):
                tests[test["name"]] = test
    for name, heading in checks:
        test = tests.get(name)
        if test is None:
            results[name] = "not run"
        elif test.get("failures"):
            results[name] = "failed"
            message = test["failures"][0].get("failure", "")
            # The first line names the source line; the message follows.
            lines = message.splitlines()
            notes.append(f"{heading}: {first_line(chr(10).join(lines[1:])) or first_line(message)}")
        elif test.get("result") == "SKIPPED":
            results[name] = "skipped"
            reason = skip_reason(log, name)
            # It starts with the window manager's name, which the row already shows.
            reason = reason.removeprefix(f"{manager}: ")
            notes.append(f"{heading} skipped: {reason}" if reason else f"{heading} skipped")
        else:
            results[name] = "passed"
    return results, notes


def skip_reason(log, name):
    """The message gtest printed for a skipped test, between its RUN and SKIPPED lines."""
    inside = False
    for line in log.splitlines():
        if line.startswith("[ RUN      ]") and line.endswith(f".{name}"):
            inside = True
        elif inside and line.startswith("[  SKIPPED ]"):
            return ""
        elif inside and not line.endswith("Skipped") and line.strip():
            return line.strip()
    return ""


def run(runner, name, work, arguments, checks, env=None):
    """Each check's result for the row, in order, and the row's notes."""
    report = work / f"{name}.json"
    result = subprocess.run([str(runner), *arguments, f"--gtest_output=json:{report}"], env=env,
                            capture_output=True, text=True, check=False, timeout=900)
    log = result.stdout + result.stderr
    (work / f"{name}.log").write_text(log)
    results, notes = outcomes(report, log, name, checks)
    return [results[test] for test, _ in checks], notes


def table(heading, headings, rows, run_row):
    """Prints a Markdown table of run_row(runner, name, work) for each (name, program, package)."""
    root = Path(__file__).resolve().parents[2]
    build = Path(sys.argv[1] if len(sys.argv) > 1 else root / "build" / "linux").resolve()
    runner = build / "tests" / "test_e2e"
    if not os.access(runner, os.X_OK):
        sys.exit(f"no {runner}: build the tests first")
    work = Path(tempfile.mkdtemp(prefix="quillmark-matrix-"))
    print(f"| {heading} | version | " + " | ".join(headings) + " | note |")
    print("|---|---|" + "---|" * len(headings) + "---|")
    for name, program, package in rows:
        if shutil.which(program) is None:
            cells, notes, shown = ["skipped"] * len(headings), ["not installed"], "-"
        else:
            shown = version(package, program)
            cells, notes = run_row(runner, name, work)
        print(f"| {name} | {shown} | " + " | ".join(cells) + f" | {'; '.join(notes)} |",
              flush=True)
    print(f"\nlogs: {work}", file=sys.stderr)


def main():
    table("window manager", [h for _, h in CHECKS],
          [(name, name, package) for name, package in WINDOW_MANAGERS],
          lambda runner, name, work: run(runner, name, work, [f"--gtest_filter={SUITE}.*"], CHECKS,
                                         {**os.environ, "QUILL_WM": name}))


if __name__ == "__main__":
    main()
