#!/usr/bin/env bash
# The real bar reloading every minute against twenty local feeds (two slow, one failing, one
# new at every request) for RELOADS reloads: after every run, its resident memory, open
# descriptors, threads and processor time so far, then whether anything grew beyond noise or a
# reload was missed. With the interval "1" reloads come two minutes apart after the first two,
# so 30 reloads take about an hour.
# Usage: bench/soak.sh RELOADS [BUILD_DIR]   (BUILD_DIR defaults to build/linux)
set -euo pipefail
reloads=${1:?usage: bench/soak.sh RELOADS [BUILD_DIR]}
build=${2:-$(dirname "$0")/../build/linux}
tests="$build/tests/test_e2e"
[ -x "$tests" ] || { echo "no $tests: build the linux preset first" >&2; exit 2; }
output=$(mktemp)
trap 'rm -f "$output"' EXIT

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, $(uname -sr)"
echo "reloads: $reloads, started $(date -u '+%Y-%m-%d %H:%M UTC')"
# The table comes line by line as the runs end.
set +e
QUILL_SOAK_RELOADS=$reloads "$tests" --gtest_filter='SoakTest.*' 2>&1 | tee "$output" |
    sed -un 's/^soak //p'
status=${PIPESTATUS[0]}
set -e
if [ "$status" -eq 0 ] && grep -q '^\[  PASSED  \] 1 test' "$output"; then
    echo "verdict: passed (no growth beyond noise, no reload missed)"
else
    echo "verdict: FAILED"
    grep -E 'Failure|rose|grew|did not|Expected|Which is|feed [0-9]+ in run' "$output" || true
    exit 1
fi
