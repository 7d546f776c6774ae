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

# Sway refuses to run as root: then it runs as nobody, in a runtime folder of its own.
mkdir -p "$work/sway" "$work/client"
chmod 700 "$work/sway" "$work/client"
printf 'output HEADLESS-1 resolution 1280x800\nxwayland disable\n' >"$work/sway/config"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chmod 711 "$work" # nobody passes through to its own folder
    chown nobody "$work/sway"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
env -u WAYLAND_DISPLAY -u DISPLAY HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway -c "$work/sway/config" >"$work/sway.log" 2>&1 &
sway=$!
pids+=("$sway")
for _ in $(seq 100); do
    [ -S "$work/sway/wayland-1" ] && break
    sleep 0.1
done
export WAYLAND_DISPLAY="$work/sway/wayland-1" XDG_RUNTIME_DIR="$work/client"
unset DISPLAY QT_QPA_PLATFORM

serve_nine_headlines
start_ticker "$program"
kill -0 "$sway" 2>/dev/null || { cat "$work/sway.log"; exit 1; }
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
