#!/usr/bin/env bash
# CPU and memory of the real bar scrolling nine headlines on a private X server, with the X
# server's share of the work and a bare 64 Hz Qt timer on the same display as the baseline, all
# over the same span.
# Usage: bench/bar_cpu.sh PROGRAM [SECONDS] [hover]
# With "hover" the pointer rests on the bar for the whole measurement. The baseline is
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
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

# One feed: its heading and eight items make nine headlines.
mkdir -p "$work/feeds" "$work/ticker"
{
    echo '<?xml version="1.0"?><rss version="2.0"><channel><title>Benchmark wire</title>'
    echo '<link>http://127.0.0.1/</link><description>Nine headlines</description>'
    echo '<image><url>http://127.0.0.1/logo.png</url><title>Wire</title><link>http://127.0.0.1/</link></image>'
    for i in 1 2 3 4 5 6 7 8; do
        echo "<item><title>Headline $i of the benchmark wire, long enough to read</title>"
        echo "<link>http://127.0.0.1/$i</link><description>Story $i</description></item>"
    done
    echo '</channel></rss>'
} >"$work/feeds/wire.xml"
serve_feeds
printf '20\r\nTrue\r\nhttp://127.0.0.1:%s/wire.xml\r\n' "$port" >"$work/ticker/links.ryx"
printf '\r\n' >"$work/ticker/rep.ini"

(cd "$work/ticker" && exec "$program") >/dev/null 2>&1 &
ticker=$!
pids+=("$ticker")
for _ in $(seq 100); do
    grep -q wire.xml "$work/http.log" && break
    sleep 0.1
done
sleep 2 # let the strip fill before measuring
if [ "$mode" = hover ]; then
    xdotool mousemove 400 5
fi

"$bare" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")

# Time on a processor in nanoseconds, all threads: exact, where /proc/PID/stat counts whole
# clock ticks and so samples a program that runs briefly 64 times a second.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{sum += $1} END {printf "%.0f\n", sum}'; }
# Bytes the program wrote: its X requests, and a few to wake its own event loop.
sent() { awk '/^wchar/ {print $2}' "/proc/$1/io"; }
sleep 1 # the baseline up and ticking
before=($(cpu_ns "$ticker") $(cpu_ns "$xserver") $(cpu_ns "$baseline") $(sent "$ticker"))
start=$(date +%s.%N)
sleep "$seconds"
after=($(cpu_ns "$ticker") $(cpu_ns "$xserver") $(cpu_ns "$baseline") $(sent "$ticker"))
end=$(date +%s.%N)
peak() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }
awk -v s="$start" -v e="$end" -v m="$mode" -v kb="$(peak "$ticker")" -v kb0="$(peak "$baseline")" \
    -v p="$((after[0] - before[0]))" -v x="$((after[1] - before[1]))" \
    -v b="$((after[2] - before[2]))" -v w="$((after[3] - before[3]))" '
    function pc(ns) { return 100 * ns / 1e9 / (e - s) }
    BEGIN {
        printf "bar (%s), %.0f s, %% of one core:\n", m, e - s
        printf "  program           %.2f %%  (%.1f x the bare timer)\n", pc(p), p / b
        printf "  X server          %.2f %%\n", pc(x)
        printf "  program + X       %.2f %%  (%.1f x the bare timer)\n", pc(p + x), (p + x) / b
        printf "  bare 64 Hz timer  %.2f %%\n", pc(b)
        printf "  written           %.1f KB/s\n", w / 1024 / (e - s)
        printf "  peak RSS          %.1f MB (bare timer %.1f MB)\n", kb / 1024, kb0 / 1024
    }'
