# Sourced by the benchmarks: a private X server and a local web server for feeds, both ended
# with the benchmark. Callers set `work` (a scratch folder) first.
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts Xvfb on a free display, 1280x800 or the size given, and exports DISPLAY.
start_display() {
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -noreset -screen 0 "${1:-1280x800}x24" -nolisten tcp \
        >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 10 number <&"$displayfd"
    export DISPLAY=":$number"
}

# openbox on the display start_display made, ready once it names itself on the root.
start_openbox() {
    openbox >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
}

# Starts a private headless Sway with one 1280x800 output as `sway`, and makes this shell its
# client; a second one needs another NAME for its folder. Sway refuses to run as root: then it
# runs as nobody, in a runtime folder of its own.
start_sway() {
    local name=${1:-sway}
    local folder="$work/$name"
    mkdir -p "$folder" "$folder-client"
    chmod 700 "$folder" "$folder-client"
    # The floor's window keeps the bar's size instead of being tiled over the whole output.
    printf '%s\n' 'output HEADLESS-1 resolution 1280x800' 'xwayland disable' \
        'for_window [app_id="bench_bare_timer"] floating enable' >"$folder/config"
    as_user=()
    if [ "$(id -u)" = 0 ]; then
        chmod 711 "$work" # nobody passes through to its own folder
        chown nobody "$folder"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    fi
    env -u WAYLAND_DISPLAY -u DISPLAY HOME="$folder" XDG_RUNTIME_DIR="$folder" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${as_user[@]}" sway -c "$folder/config" >"$folder.log" 2>&1 &
    sway=$!
    pids+=("$sway")
    for _ in $(seq 100); do
        [ -S "$folder/wayland-1" ] && break
        sleep 0.1
    done
    export WAYLAND_DISPLAY="$folder/wayland-1" XDG_RUNTIME_DIR="$folder-client"
    unset DISPLAY QT_QPA_PLATFORM
    kill -0 "$sway" 2>/dev/null || { cat "$folder.log"; exit 1; }
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

# Serves one feed whose heading and eight items make nine headlines, and writes the ticker's
# files for it into $work/ticker, docked at the top.
serve_nine_headlines() {
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
}

# Time on a processor in nanoseconds, all threads: exact, where /proc/PID/stat counts whole
# clock ticks and so samples a program that runs briefly 64 times a second.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{sum += $1} END {printf "%.0f\n", sum}'; }
peak() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }

# Starts COMMAND... in $work/ticker as `ticker` and waits for its first request and for the
# strip to fill; with mode "hover" the pointer then rests on the bar, with mode "tip" on the
# first story's headline, which shows its tip.
start_ticker() {
    (cd "$work/ticker" && exec "$@") >/dev/null 2>&1 &
    ticker=$!
    pids+=("$ticker")
    for _ in $(seq 100); do
        grep -q wire.xml "$work/http.log" && break
        sleep 0.1
    done
    sleep 2 # let the strip fill before measuring
    case "${mode:-scroll}" in
    hover) xdotool mousemove 400 5 ;;
    tip)
        # The strip moves some 50 pixels a second: by then the first story passes x = 800.
        sleep 16
        xdotool mousemove 800 5
        ;;
    esac
}

# A process's own memory (Private_Clean + Private_Dirty in kB) by mapping, largest first, then
# the total: pages shared with other processes (Wine's and the system's libraries) are not in it.
private_by_mapping() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / {
             name = NF >= 6 ? $6 : "[anonymous]"
             for (i = 7; i <= NF; i++) name = name " " $i
         }
         /^Private_(Clean|Dirty):/ { kb[name] += $2; total += $2 }
         END {
             for (n in kb) if (kb[n] > 0) printf "%9d kB  %s\n", kb[n], n | "sort -rn"
             close("sort -rn")
             printf "%9d kB  private in all\n", total
         }' "/proc/$1/smaps"
}

# One span of SECONDS: prints NAME, the nanoseconds each PID spent on a processor in it, then
# the seconds it lasted.
measure_span() {
    local name=$1 seconds=$2
    shift 2
    local before=() after=() pid
    for pid in "$@"; do before+=("$(cpu_ns "$pid")"); done
    local start=$(date +%s.%N)
    sleep "$seconds"
    for pid in "$@"; do after+=("$(cpu_ns "$pid")"); done
    local line=$name i
    for i in "${!before[@]}"; do line+=" $((after[i] - before[i]))"; done
    echo "$line $(echo "$(date +%s.%N) - $start" | bc)"
}
