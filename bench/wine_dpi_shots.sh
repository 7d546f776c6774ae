#!/usr/bin/env bash
# Screenshots of quillmark.exe under Wine at 96, 144 and 192 dpi: the bar's right end with
# headlines that have descenders, its Options and X boxes, and the options window below them.
# Usage: bench/wine_dpi_shots.sh WINDOWS_BUILD_DIR [OUTPUT_DIR]   (docs/wine-dpi-DPI.png)
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
mkdir -p "${2:-$here/../docs}"
out=$(realpath "${2:-$here/../docs}")
if [ -z "${QUILL_WINE_SHOT_DPI:-}" ]; then
    work=$(mktemp -d)
    export work
    source "$here/desktop.sh"
    mkdir -p "$work/feeds" "$work/ticker"
    {
        echo '<?xml version="1.0"?><rss version="2.0"><channel><title>Type specimens</title>'
        echo '<link>http://127.0.0.1/</link><description>Descenders</description>'
        for word in gjpqy Gypsy jumpy quay; do
            echo "<item><title>Glyphs $word gjpqy</title><link>http://127.0.0.1/$word</link>"
            echo "<description>$word</description></item>"
        done
        echo '</channel></rss>'
    } >"$work/feeds/type.xml"
    serve_feeds
    printf '20\r\nTrue\r\nhttp://127.0.0.1:%s/type.xml\r\n' "$port" >"$work/ticker/links.ryx"
    printf '\r\n' >"$work/ticker/rep.ini"
    for dpi in 96 144 192; do
        # A session each, on a screen as many pixels larger as the density: every Wine process
        # reads the density anew.
        start_display "$((1280 * dpi / 96))x$((800 * dpi / 96))"
        start_openbox
        QUILL_WINE_SHOT_DPI=$dpi "$here/../scripts/wine-session" "$build" "$0" "$build" "$out"
        kill "${pids[-1]}" "${pids[-2]}"
    done
    exit
fi

dpi=$QUILL_WINE_SHOT_DPI
wine=("$here/../scripts/wine-run" "$build/wineprefix")
"${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
(cd "$work/ticker" && exec "${wine[@]}" "$build/src/quillmark.exe") >/dev/null 2>&1 &
for _ in $(seq 200); do
    xdotool search --name '^Form1$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 8 # the feed read and the strip filled
width=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
scale() { echo $(($1 * dpi / 96)); }
# The Options box stands left of the X box at the bar's right end.
xdotool mousemove $((width - $(scale 37))) $(scale 6) click 1
for _ in $(seq 100); do
    options=$(xdotool search --name '^Options$' 2>/dev/null | head -n 1) && [ -n "$options" ] &&
        break
    sleep 0.1
done
xdotool mousemove $((width / 2)) $(scale 700)
# Moved under the bar's right end, so one small picture holds both.
eval "$(xdotool getwindowgeometry --shell "$options")"
xdotool windowmove "$options" $((width - WIDTH - 8)) $(($(scale 13) + 30))
sleep 2
eval "$(xdotool getwindowgeometry --shell "$options")"
import -window root "$work/root.png"
convert "$work/root.png" -crop "$((width - X + 8))x$((Y + HEIGHT + 8))+$((X - 8))+0" +repage \
    "$out/wine-dpi-$dpi.png"
"${wine[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
    >/dev/null 2>&1
