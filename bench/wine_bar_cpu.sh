#!/usr/bin/env bash
# CPU and memory of quillmark.exe under Wine scrolling nine headlines on a private X server:
# the program, Wine's server and the X server over the same span, beside a bare 64 Hz Win32
# timer under the same Wine, and notepad's memory as Wine's own share of a resident set; the
# private memory by mapping, against the budget.
# Usage: bench/wine_bar_cpu.sh WINDOWS_BUILD_DIR [SECONDS] [hover]
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-60}
mode=${3:-scroll}
here=$(dirname "$(realpath "$0")")
if [ -z "${QUILL_WINE_BENCH_INSIDE:-}" ]; then
    work=$(mktemp -d)
    export work
    source "$here/desktop.sh"
    start_display
    export QUILL_XSERVER=${pids[-1]}
    openbox >/dev/null 2>&1 &
    pids+=($!)
    # A desktop session has a resource database; without one Wine's X11 driver looks for
    # ~/.Xdefaults on every frame.
    echo 'Xft.dpi: 96' | xrdb -merge
    serve_nine_headlines
    QUILL_WINE_BENCH_INSIDE=1 "$here/../scripts/wine-session" "$build" "$0" "$@"
    exit
fi

pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
source <(sed -n '/^serve_nine_headlines()/,$p' "$here/desktop.sh")
wine=("$here/../scripts/wine-run" "$build/wineprefix")
start_ticker "${wine[@]}" "$build/src/quillmark.exe"
"${wine[@]}" "$build/bench/win32/bench_bare_timer.exe" >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")
"${wine[@]}" notepad >/dev/null 2>&1 &
notepad=$!
pids+=("$notepad")
# This session's Wine server: the one whose environment names this build's prefix.
server=""
for candidate in $(pgrep -x 'wineserver(64)?'); do
    if tr '\0' '\n' <"/proc/$candidate/environ" | grep -qx "WINEPREFIX=$build/wineprefix"; then
        server=$candidate
    fi
done
sleep 2 # the baseline and notepad up
before=($(cpu_ns "$ticker") $(cpu_ns "$server") $(cpu_ns "$QUILL_XSERVER") $(cpu_ns "$baseline"))
start=$(date +%s.%N)
sleep "$seconds"
after=($(cpu_ns "$ticker") $(cpu_ns "$server") $(cpu_ns "$QUILL_XSERVER") $(cpu_ns "$baseline"))
end=$(date +%s.%N)
anon() { awk '/RssAnon/ {print $2}' "/proc/$1/status"; }
awk -v s="$start" -v e="$end" -v m="$mode" -v p="$((after[0] - before[0]))" \
    -v w="$((after[1] - before[1]))" -v x="$((after[2] - before[2]))" \
    -v b="$((after[3] - before[3]))" -v kb="$(peak "$ticker")" -v a="$(anon "$ticker")" \
    -v nkb="$(peak "$notepad")" -v na="$(anon "$notepad")" '
    function pc(ns) { return 100 * ns / 1e9 / (e - s) }
    BEGIN {
        printf "quillmark.exe under Wine (%s), %.0f s, %% of one core:\n", m, e - s
        printf "  program                 %.2f %%\n", pc(p)
        printf "  Wine server             %.2f %%\n", pc(w)
        printf "  X server                %.2f %%\n", pc(x)
        printf "  in all                  %.2f %%\n", pc(p + w + x)
        printf "  bare 64 Hz Win32 timer  %.2f %% (program alone %.1f x)\n", pc(b), p / b
        printf "  peak RSS                %.1f MB, anonymous %.1f MB\n", kb / 1024, a / 1024
        printf "  notepad (Wine alone)    %.1f MB, anonymous %.1f MB\n", nkb / 1024, na / 1024
    }'
# The budget is for private memory: Wine's libraries and fonts are shared with every Wine program.
echo "  private memory by mapping (Private_Clean + Private_Dirty):"
private_by_mapping "$ticker" |
    awk '{ line[NR] = $0 } END { for (i = 1; i < NR && i <= 5; i++) print "  " line[i]; print "  " line[NR] }'
echo "  notepad (Wine alone):"
private_by_mapping "$notepad" | awk 'END { print "  " $0 }'
