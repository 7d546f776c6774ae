#!/usr/bin/env bash
# CPU and memory of the real bar scrolling nine headlines as a layer-shell panel of a private,
# headless Sway, with the compositor's share of the work and a bare 64 Hz Qt timer on the same
# compositor as the baseline, all over the same span. Beside them, the same bar on a private X
# server with openbox, which the Wayland bar is judged against, and the floor: the least a Qt
# window that changes one pixel at 64 Hz costs, with a Sway of its own so that its compositor's
# time is its one client's.
# Usage: bench/sway_bar_cpu.sh PROGRAM [SECONDS]
set -euo pipefail
program=$(realpath "$1")
seconds=${2:-60}
bare=$(realpath "${BARE_TIMER:-$(dirname "$program")/../bench/bench_bare_timer}")
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"

serve_nine_headlines
start_display
x11_server=${pids[-1]}
start_openbox
cp -r "$work/ticker" "$work/ticker-x11"
(cd "$work/ticker-x11" && exec env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program") \
    >/dev/null 2>&1 &
x11_bar=$!
pids+=("$x11_bar")

start_sway
bar_sway=$sway
start_ticker "$program"
"$bare" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")

start_sway floor
floor_sway=$sway
"$bare" --draw >/dev/null 2>&1 &
floor=$!
pids+=("$floor")
sleep 1 # the baseline and the floor up and ticking

measure() {
    echo $(cpu_ns "$ticker") $(cpu_ns "$bar_sway") $(cpu_ns "$baseline") $(cpu_ns "$floor") \
        $(cpu_ns "$floor_sway") $(cpu_ns "$x11_bar") $(cpu_ns "$x11_server")
}
before=($(measure))
start=$(date +%s.%N)
sleep "$seconds"
after=($(measure))
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v kb="$(peak "$ticker")" -v p="$((after[0] - before[0]))" \
    -v c="$((after[1] - before[1]))" -v b="$((after[2] - before[2]))" \
    -v fp="$((after[3] - before[3]))" -v fc="$((after[4] - before[4]))" \
    -v xp="$((after[5] - before[5]))" -v xs="$((after[6] - before[6]))" '
    function pc(ns) { return 100 * ns / 1e9 / (e - s) }
    BEGIN {
        printf "bar under Sway, %.0f s, %% of one core:\n", e - s
        printf "  program               %.2f %%  (%.1f x the bare timer)\n", pc(p), p / b
        printf "  Sway                  %.2f %%\n", pc(c)
        printf "  program + Sway        %.2f %%  (%.1f x the bare timer)\n", pc(p + c), (p + c) / b
        printf "  bare 64 Hz timer      %.2f %%\n", pc(b)
        f = fp + fc
        printf "  floor                 %.2f %%  (%.1f x the bare timer; a pixel a tick, with its Sway)\n",
            pc(f), f / b
        printf "    its program         %.2f %%  (%.1f x the bare timer)\n", pc(fp), fp / b
        printf "    its Sway            %.2f %%  (%.1f x the bare timer)\n", pc(fc), fc / b
        printf "  program + Sway        %.1f x the floor\n", (p + c) / f
        printf "  X11 bar + X server    %.2f %%  (program %.2f %%, X server %.2f %%)\n",
            pc(xp + xs), pc(xp), pc(xs)
        printf "  program + Sway        %.2f x the X11 bar + X server\n", (p + c) / (xp + xs)
        printf "  peak RSS              %.1f MB\n", kb / 1024
    }'
