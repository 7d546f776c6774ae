#!/usr/bin/env bash
# Memory of the real bar around one reload that meets a 100 MB response: resident memory before,
# the peak during the reload and resident memory after it, on a private X server.
# Usage: bench/big_feed_memory.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
source "$(dirname "$0")/desktop.sh"
start_display

mkdir -p "$work/feeds" "$work/ticker"
heading='<rss><channel><title>Wire</title><link>http://127.0.0.1/</link><description>d</description>'
echo "$heading<item><title>Small</title><link>http://127.0.0.1/1</link><description>s</description></item></channel></rss>" \
    >"$work/feeds/small.xml"
# A heading, then 100 MB that the download cuts at its cap and the feed step reads through.
{
    printf '%s<!--' "$heading"
    head -c 100000000 /dev/zero | tr '\0' 'x'
    printf -- '--></channel></rss>'
} >"$work/feeds/big.xml"
serve_feeds
# Reloads every minute; the big feed is listed from the first reload on.
printf '1\r\nTrue\r\nhttp://127.0.0.1:%s/small.xml\r\n' "$port" >"$work/ticker/links.ryx"
printf '\r\n' >"$work/ticker/rep.ini"

(cd "$work/ticker" && exec "$program") >/dev/null 2>&1 &
ticker=$!
pids+=("$ticker")
status() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$ticker/status"; }
requests() { grep -c 'GET /' "$work/http.log" || true; }
for _ in $(seq 100); do
    [ "$(requests)" -ge 1 ] && break
    sleep 0.1
done
sleep 3
before=$(status VmRSS)
peak_before=$(status VmHWM)
printf '1\r\nTrue\r\nhttp://127.0.0.1:%s/big.xml\r\nhttp://127.0.0.1:%s/small.xml\r\n' "$port" "$port" \
    >"$work/ticker/links.ryx"
echo "waiting for the reload (up to two minutes)..."
for _ in $(seq 1300); do
    [ "$(requests)" -ge 3 ] && break
    sleep 0.1
done
sleep 3
after=$(status VmRSS)
peak=$(status VmHWM)
echo "resident before the reload: $((before / 1024)) MB (peak so far $((peak_before / 1024)) MB)"
echo "peak during the reload:     $((peak / 1024)) MB"
echo "resident after the reload:  $((after / 1024)) MB ($((after - before)) kB more)"
