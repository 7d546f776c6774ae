#!/usr/bin/env bash
# CPU and memory of quillmark.exe under Wine scrolling nine headlines on a private X server:
# the program, Wine's server and the X server over the same span, beside a bare 64 Hz Win32
# timer under the same Wine, and notepad's memory as Wine's own share of a resident set; the
# private memory by mapping, against the budget. Mode "covered" measures RUNS pairs of spans
# instead, as covered_cpu.sh does: the bar in view, then covered by a full-screen Win32 window
# from its second second on.
# Usage: bench/wine_bar_cpu.sh WINDOWS_BUILD_DIR [SECONDS] [scroll|hover|covered] [RUNS]
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

# The baseline runs under a Wine server of its own (a second prefix beside the build's), so that
# each server's time is its own program's.
bare_prefix=$build/wineprefix-bare
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
      WINEPREFIX=$bare_prefix /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
source <(sed -n '/^serve_nine_headlines()/,$p' "$here/desktop.sh")
wine=("$here/../scripts/wine-run" "$build/wineprefix")
start_ticker "${wine[@]}" "$build/src/quillmark.exe"
"$here/../scripts/wine-run" "$bare_prefix" wineboot >/dev/null 2>&1 # made on first use
"$here/../scripts/wine-run" "$bare_prefix" "$build/bench/win32/bench_bare_timer.exe" \
    >/dev/null 2>&1 &
baseline=$!
pids+=("$baseline")
sleep 2 # the baseline up
# The Wine server whose environment names this prefix.
wine_server() {
    for candidate in $(pgrep -x 'wineserver(64)?'); do
        if tr '\0' '\n' <"/proc/$candidate/environ" | grep -qx "WINEPREFIX=$1"; then
            echo "$candidate"
        fi
    done | tail -n 1
}
server=$(wine_server "$build/wineprefix")
bare_server=$(wine_server "$bare_prefix")
if [ "$mode" = covered ]; then
    runs=${4:-3}
    measure() {
        measure_span "$1" "$seconds" "$ticker" "$server" "$QUILL_XSERVER" "$baseline" "$bare_server"
    }
    echo "quillmark.exe under Wine, $runs runs of $seconds s a span, % of one core:"
    for _ in $(seq "$runs"); do
        measure seen
        "${wine[@]}" "$build/bench/win32/bench_full_screen.exe" $((seconds + 2)) >/dev/null 2>&1 &
        cover=$!
        sleep 1
        measure covered
        wait "$cover"
        sleep 1 # the bar back on top
    done | awk '{
        t = $7; all = $2 + $3 + $4; bare = $5 + $6
        printf "  %-8s program %.3f  Wine server %.3f  X server %.3f  in all %.3f",
            $1, 100 * $2 / 1e9 / t, 100 * $3 / 1e9 / t, 100 * $4 / 1e9 / t, 100 * all / 1e9 / t
        printf " (%.2f x the bare timer and its Wine server at %.3f)\n", all / bare,
            100 * bare / 1e9 / t
    }'
    exit
fi
"${wine[@]}" notepad >/dev/null 2>&1 &
notepad=$!
pids+=("$notepad")
sleep 2 # notepad up
read -r _ p w x b bw t < <(measure_span "$mode" "$seconds" "$ticker" "$server" "$QUILL_XSERVER" \
    "$baseline" "$bare_server")
anon() { awk '/RssAnon/ {print $2}' "/proc/$1/status"; }
awk -v t="$t" -v m="$mode" -v p="$p" -v w="$w" -v x="$x" -v b="$b" -v bw="$bw" \
    -v kb="$(peak "$ticker")" -v a="$(anon "$ticker")" \
    -v nkb="$(peak "$notepad")" -v na="$(anon "$notepad")" '
    function pc(ns) { return 100 * ns / 1e9 / t }
    BEGIN {
        printf "quillmark.exe under Wine (%s), %.0f s, %% of one core:\n", m, t
        printf "  program                 %.2f %%\n", pc(p)
        printf "  Wine server             %.2f %%\n", pc(w)
        printf "  X server                %.2f %%\n", pc(x)
        printf "  in all                  %.2f %%\n", pc(p + w + x)
        printf "  bare 64 Hz Win32 timer  %.2f %% (program alone %.1f x), its Wine server %.2f %%\n",
            pc(b), p / b, pc(bw)
        printf "  peak RSS                %.1f MB, anonymous %.1f MB\n", kb / 1024, a / 1024
        printf "  notepad (Wine alone)    %.1f MB, anonymous %.1f MB\n", nkb / 1024, na / 1024
    }'
# The budget is for private memory: Wine's libraries and fonts are shared with every Wine program.
echo "  private memory by mapping (Private_Clean + Private_Dirty):"
private_by_mapping "$ticker" |
    awk '{ line[NR] = $0 } END { for (i = 1; i < NR && i <= 5; i++) print "  " line[i]; print "  " line[NR] }'
echo "  notepad (Wine alone):"
private_by_mapping "$notepad" | awk 'END { print "  " $0 }'
