#!/usr/bin/env bash
# What the bar costs while no one can see it: program plus display server, scrolling nine
# headlines in view, then covered by a full-screen window, then (X11 only) with the screen
# blanked by the screen saver, as a locker turns it on, each beside a bare 64 Hz Qt timer on the
# same display over the same span. A span starts a second after the covering. Headless Sway
# cannot power its output off, so it has no blanked span.
# Usage: bench/covered_cpu.sh PROGRAM [SECONDS] [RUNS] [x11|sway]
# The baseline is bench_bare_timer from PROGRAM's build tree, or $BARE_TIMER.
set -euo pipefail
program=$(realpath "$1")
seconds=${2:-20}
runs=${3:-3}
session=${4:-x11}
bare=$(realpath "${BARE_TIMER:-$(dirname "$program")/../bench/bench_bare_timer}")
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"
if [ "$session" = sway ]; then
    start_sway
    server=$sway
    full_screen() { foot --fullscreen >/dev/null 2>&1 & }
    blank() { false; }
else
    start_display
    server=${pids[-1]}
    start_openbox
    full_screen() { xterm -fullscreen >/dev/null 2>&1 & }
    blank() { xset s activate; }
    unblank() { xset s reset; }
fi
serve_nine_headlines
start_ticker "$program"
"$bare" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")
sleep 2 # the baseline up and ticking

# The program, the server and the bare timer.
measure() { measure_span "$1" "$seconds" "$ticker" "$server" "$baseline"; }

echo "bar on $session, $runs runs of $seconds s a span, % of one core:"
for _ in $(seq "$runs"); do
    measure seen
    full_screen
    cover=$!
    sleep 1
    measure covered
    kill "$cover"
    wait "$cover" 2>/dev/null || true
    if blank; then
        sleep 1
        measure blanked
        unblank
        sleep 1
    fi
done | awk '{
    p = $2; x = $3; b = $4; s = $5
    printf "  %-8s program %.3f  server %.3f  both %.3f (%.2f x the bare timer at %.3f)\n",
        $1, 100 * p / 1e9 / s, 100 * x / 1e9 / s, 100 * (p + x) / 1e9 / s, (p + x) / b,
        100 * b / 1e9 / s
}'
