#!/usr/bin/env bash
# CPU and memory of the real bar scrolling nine headlines as a layer-shell panel of a private,
# headless Sway, with the compositor's share of the work and a bare 64 Hz Qt timer on the same
# compositor as the baseline, all over the same span.
# Usage: bench/sway_bar_cpu.sh PROGRAM [SECONDS]
set -euo pipefail
program=$(realpath "$1")
seconds=${2:-60}
bare=$(realpath "${BARE_TIMER:-$(dirname "$program")/../bench/bench_bare_timer}")
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"

start_sway

serve_nine_headlines
start_ticker "$program"
"$bare" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")
sleep 1 # the baseline up and ticking

before=($(cpu_ns "$ticker") $(cpu_ns "$sway") $(cpu_ns "$baseline"))
start=$(date +%s.%N)
sleep "$seconds"
after=($(cpu_ns "$ticker") $(cpu_ns "$sway") $(cpu_ns "$baseline"))
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v kb="$(peak "$ticker")" -v p="$((after[0] - before[0]))" \
    -v c="$((after[1] - before[1]))" -v b="$((after[2] - before[2]))" '
    function pc(ns) { return 100 * ns / 1e9 / (e - s) }
    BEGIN {
        printf "bar under Sway, %.0f s, %% of one core:\n", e - s
        printf "  program               %.2f %%  (%.1f x the bare timer)\n", pc(p), p / b
        printf "  Sway                  %.2f %%\n", pc(c)
        printf "  program + Sway        %.2f %%\n", pc(p + c)
        printf "  bare 64 Hz timer      %.2f %%\n", pc(b)
        printf "  peak RSS              %.1f MB\n", kb / 1024
    }'
