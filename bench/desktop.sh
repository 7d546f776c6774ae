# Sourced by the benchmarks: a private X server and a local web server for feeds, both ended
# with the benchmark. Callers set `work` (a scratch folder) first.
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts Xvfb on a free display and exports DISPLAY.
start_display() {
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 10 number <&"$displayfd"
    export DISPLAY=":$number"
}

# Serves the folder $work/feeds on 127.0.0.1 and sets `port`; requests are logged in
# $work/http.log.
serve_feeds() {
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/feeds" >"$work/http.log" 2>&1 &
    pids+=($!)
    port=""
    for _ in $(seq 100); do
        port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/http.log" | head -n 1)
        [ -n "$port" ] && break
        sleep 0.1
    done
}
