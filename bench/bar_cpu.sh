#!/usr/bin/env bash
# CPU and memory of the real bar scrolling nine headlines on a private X server.
# Usage: bench/bar_cpu.sh PROGRAM [SECONDS] [hover]
# With "hover" the pointer rests on the bar for the whole measurement.
set -euo pipefail
program=$(realpath "$1")
seconds=${2:-60}
mode=${3:-scroll}
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"
start_display
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

# Time on a processor in nanoseconds, all threads: exact, where /proc/PID/stat counts whole
# clock ticks and so samples a program that runs briefly 64 times a second.
cpu_ns() { cat /proc/"$ticker"/task/*/schedstat | awk '{sum += $1} END {printf "%.0f\n", sum}'; }
before=$(cpu_ns)
start=$(date +%s.%N)
sleep "$seconds"
after=$(cpu_ns)
end=$(date +%s.%N)
peak=$(awk '/VmHWM/ {print $2}' "/proc/$ticker/status")
awk -v b="$before" -v a="$after" -v s="$start" -v e="$end" -v kb="$peak" -v m="$mode" \
    'BEGIN { printf "bar (%s), %.0f s: CPU %.2f %% of one core, peak RSS %.1f MB\n",
             m, e - s, 100 * (a - b) / 1e9 / (e - s), kb / 1024 }'
