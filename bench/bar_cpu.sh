#!/usr/bin/env bash
# CPU and memory of the real bar scrolling nine headlines on a private X server, with the X
# server's share of the work and a bare 64 Hz Qt timer on the same display as the baseline, all
# over the same span. The floor beside them is the least any program that changes the screen 64
# times a second costs: the bare timer changing one pixel a tick, on an X server of its own so
# that each server's time is its one client's.
# Usage: bench/bar_cpu.sh PROGRAM [SECONDS] [hover|tip]
# With "hover" the pointer rests on the bar for the whole measurement, with "tip" on a headline
# whose tip shows; SHOT=file.png saves the screen at the end. The baseline is
# bench_bare_timer from PROGRAM's build tree, or $BARE_TIMER.
set -euo pipefail
program=$(realpath "$1")
seconds=${2:-60}
mode=${3:-scroll}
bare=$(realpath "${BARE_TIMER:-$(dirname "$program")/../bench/bench_bare_timer}")
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"
start_display
xserver=${pids[-1]}
start_openbox

serve_nine_headlines

start_ticker "$program"

"$bare" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")

bar_display=$DISPLAY
start_display
floor_xserver=${pids[-1]}
"$bare" --draw >/dev/null 2>&1 &
floor=$!
pids+=("$floor")
export DISPLAY=$bar_display

# Bytes the program wrote: its X requests, and a few to wake its own event loop.
sent() { awk '/^wchar/ {print $2}' "/proc/$1/io"; }
sleep 2 # the baselines up and ticking
measure() {
    echo $(cpu_ns "$ticker") $(cpu_ns "$xserver") $(cpu_ns "$baseline") $(sent "$ticker") \
        $(cpu_ns "$floor") $(cpu_ns "$floor_xserver")
}
before=($(measure))
start=$(date +%s.%N)
sleep "$seconds"
after=($(measure))
end=$(date +%s.%N)
[ -n "${SHOT:-}" ] && import -window root "$SHOT"
awk -v s="$start" -v e="$end" -v m="$mode" -v kb="$(peak "$ticker")" -v kb0="$(peak "$baseline")" \
    -v p="$((after[0] - before[0]))" -v x="$((after[1] - before[1]))" \
    -v b="$((after[2] - before[2]))" -v w="$((after[3] - before[3]))" \
    -v fp="$((after[4] - before[4]))" -v fx="$((after[5] - before[5]))" '
    function pc(ns) { return 100 * ns / 1e9 / (e - s) }
    BEGIN {
        printf "bar (%s), %.0f s, %% of one core:\n", m, e - s
        printf "  program           %.2f %%  (%.1f x the bare timer)\n", pc(p), p / b
        printf "  X server          %.2f %%\n", pc(x)
        printf "  program + X       %.2f %%  (%.1f x the bare timer)\n", pc(p + x), (p + x) / b
        printf "  bare 64 Hz timer  %.2f %%\n", pc(b)
        f = fp + fx
        printf "  floor             %.2f %%  (%.1f x the bare timer; a pixel a tick, with its X)\n",
            pc(f), f / b
        printf "    its program     %.2f %%  (%.1f x the bare timer)\n", pc(fp), fp / b
        printf "    its X server    %.2f %%  (%.1f x the bare timer)\n", pc(fx), fx / b
        printf "  program + X       %.1f x the floor\n", (p + x) / f
        printf "  written           %.1f KB/s\n", w / 1024 / (e - s)
        printf "  peak RSS          %.1f MB (bare timer %.1f MB)\n", kb / 1024, kb0 / 1024
    }'
