#!/usr/bin/env python3
"""Runs the bar's checks on Wayland under every compositor the tests know and prints a Markdown
table of the results. Usage: tests/e2e/wayland_matrix.py [BUILD_DIR] (default build/linux)."""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import wm_matrix  # noqa: E402  (beside this script)

# Test parameter, program, Debian package (for its version).
COMPOSITORS = [("sway", "sway", "sway"), ("mutter", "mutter", "mutter"),
               ("kwin_wayland", "kwin_wayland", "kwin-wayland"), ("labwc", "labwc", "labwc")]
# Test name, column heading.
CHECKS = [
    ("ABarReservesItsEdgesStripUntilTheProgramIsKilled", "strip reserved"),
    ("TheBarShowsScrollingHeadlines", "headlines"),
    ("AClickOnAHeadlineOpensItsOwnLink", "click opens the link"),
    ("AHeadlinesStoryShowsBesideABottomBarWhileThePointerRestsOnIt", "tip"),
    ("ARightClickOpensTheMenuOverTheDesktopAndItsLastItemQuits", "menu"),
]


def run_row(runner, name, work):
    return wm_matrix.run(runner, name, work, [f"--gtest_filter=Wayland/BarOnCompositorTest.*/{name}"],
                         [(f"{test}/{name}", heading) for test, heading in CHECKS])


if __name__ == "__main__":
    wm_matrix.table("compositor", [h for _, h in CHECKS], COMPOSITORS, run_row)
