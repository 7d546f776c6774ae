#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a fresh folder and runs its launcher as a user
# would: an empty home, a private X server with openbox, and no network (the default feeds
# are on the internet).
# Usage: install_test.sh BUILD_DIR SOURCE_DIR; exits 77 (skipped) when a tool is missing.
set -eu
build=$(realpath "$1")
source_dir=$(realpath "$2")

skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    if [ -s "${work-}/bar.log" ]; then
        echo "The bar's output:" >&2
        cat "$work/bar.log" >&2
    fi
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate Xvfb openbox xprop \
    unshare; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if [ ! -f "$build/CPackConfig.cmake" ] || [ ! -x "$build/src/quillmark" ]; then
    skip "the program is not built in $build"
fi
unshare --user --map-current-user --net true 2>/dev/null ||
    skip "no private network namespace can be made here"

work=$(mktemp -d)
# shellcheck source=SCRIPTDIR/../../bench/desktop.sh
source "$source_dir/bench/desktop.sh"
trap 'exit 1' INT TERM

# Polls until the command succeeds; false after ten seconds.
wait_for() {
    local deadline=$((SECONDS + 10))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

echo "== the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack could not build the package"
}
debs=("$work"/package/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages"
deb=${debs[0]}
[ "$(basename "$deb")" = "quillmark_$(dpkg-deb -f "$deb" Version)_amd64.deb" ] ||
    fail "unexpected package name $(basename "$deb")"
lintian "$deb" >"$work/lintian.log" 2>&1 || true
if grep -E '^[EW]:' "$work/lintian.log"; then
    fail "lintian reports errors or warnings"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
launcher=$root/usr/bin/quillmark
program=$root/usr/lib/quillmark/quillmark
for file in usr/share/applications/quillmark.desktop \
    usr/share/icons/hicolor/scalable/apps/quillmark.svg usr/share/man/man1/quillmark.1.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
fetcher=$root/usr/lib/quillmark/quillmark-fetch
for file in "$launcher" "$program" "$fetcher"; do
    [ -x "$file" ] || fail "$file is not executable"
done
# The downloads' helper runs with its libraries: a refused connection is an empty answer.
[ "$("$fetcher" http://127.0.0.1:9/feed.xml | od -An -c | tr -d ' ')" = '\n' ] ||
    fail "the installed quillmark-fetch did not run"
desktop-file-validate "$root/usr/share/applications/quillmark.desktop"
for file in links.ryx rep.ini; do
    cmp "$source_dir/data/$file" "$root/usr/share/quillmark/$file"
done
# dpkg-shlibdeps named the package of the Qt library the program links.
widgets=$(ldd "$program" | awk '/libQt6Widgets/ { print $3 }')
owner=$(dpkg -S "$(realpath "$widgets")" | cut -d: -f1)
dpkg-deb -f "$deb" Depends | grep -qw "$owner" || fail "Depends does not name $owner"

home=$work/home
mkdir "$home"
# The user's environment: only HOME and the display are the test's own.
as_user=(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u QT_QPA_PLATFORM HOME="$home")

echo "== the launcher's options"
entry=$home/.config/autostart/quillmark.desktop
"${as_user[@]}" "$launcher" --autostart on >/dev/null
cmp "$root/usr/share/applications/quillmark.desktop" "$entry"
"${as_user[@]}" "$launcher" --autostart off >/dev/null
[ ! -e "$entry" ] || fail "--autostart off left $entry"
"${as_user[@]}" XDG_CONFIG_HOME="$work/config" "$launcher" --autostart on >/dev/null
[ -f "$work/config/autostart/quillmark.desktop" ] || fail "XDG_CONFIG_HOME was not used"
[ ! -e "$entry" ] || fail "--autostart on wrote $entry in spite of XDG_CONFIG_HOME"
"${as_user[@]}" XDG_CONFIG_HOME="$work/config" "$launcher" --autostart off >/dev/null
[ ! -e "$work/config/autostart/quillmark.desktop" ] || fail "--autostart off left its entry"
for arguments in "--autostart maybe" "--autostart" "--start"; do
    status=0
    # shellcheck disable=SC2086 # one word an argument
    "${as_user[@]}" env -u DISPLAY "$launcher" $arguments >/dev/null 2>&1 || status=$?
    [ "$status" -eq 2 ] || fail "quillmark $arguments ended with $status, not 2"
done
[ ! -e "$home/.local" ] || fail "an option made the user's folder"

echo "== the bar, started as the user would"
start_display
openbox >/dev/null 2>&1 &
pids+=($!)
workarea() {
    xprop -root -notype _NET_WORKAREA 2>/dev/null | sed -nE 's/^[^=]*= //; s/, /,/gp' |
        cut -d, -f1-4
}
has_workarea() { [ -n "$(workarea)" ]; }
wait_for has_workarea || fail "openbox did not set the work area"
IFS=, read -r x y width height <<<"$(workarea)"
is_workarea() { [ "$(workarea)" = "$1" ]; }

bar=""
start_bar() {
    "${as_user[@]}" "$@" unshare --user --map-current-user --net "$launcher" \
        >>"$work/bar.log" 2>&1 &
    bar=$!
    pids+=("$bar")
    wait_for sh -c "[ \"\$(readlink /proc/$bar/exe)\" = \"$(realpath "$program")\" ]" ||
        fail "the launcher did not start the program"
}
stop_bar() {
    kill "$bar"
    wait "$bar" 2>/dev/null || true
    local kept=() pid
    for pid in "${pids[@]}"; do
        [ "$pid" = "$bar" ] || kept+=("$pid")
    done
    pids=("${kept[@]}")
    wait_for is_workarea "$x,$y,$width,$height" ||
        fail "the work area did not come back: $(workarea)"
}

folder=$home/.local/share/quillmark
start_bar
[ "$(readlink "/proc/$bar/cwd")" = "$folder" ] ||
    fail "the program runs in $(readlink "/proc/$bar/cwd")"
# The default links file docks the bar at the bottom, 13 pixels thick.
wait_for is_workarea "$x,$y,$width,$((height - 13))" ||
    fail "the bar did not dock at the bottom: work area $(workarea)"
for file in links.ryx rep.ini; do
    cmp "$source_dir/data/$file" "$folder/$file"
done
stop_bar

# The user moves the bar to the top and deletes the replacement file.
printf '5\r\nTrue\r\nhttp://127.0.0.1:9/feed.xml\r\n' >"$folder/links.ryx"
cp "$folder/links.ryx" "$work/edited.ryx"
rm "$folder/rep.ini"
start_bar
wait_for is_workarea "$x,$((y + 13)),$width,$((height - 13))" ||
    fail "the bar did not dock at the top as the user's file says: work area $(workarea)"
cmp "$work/edited.ryx" "$folder/links.ryx"
cmp "$source_dir/data/rep.ini" "$folder/rep.ini"
stop_bar

# XDG_DATA_HOME moves the user's folder.
start_bar XDG_DATA_HOME="$work/data"
[ "$(readlink "/proc/$bar/cwd")" = "$work/data/quillmark" ] ||
    fail "XDG_DATA_HOME was not used: the program runs in $(readlink "/proc/$bar/cwd")"
for file in links.ryx rep.ini; do
    cmp "$source_dir/data/$file" "$work/data/quillmark/$file"
done
stop_bar
cmp "$work/edited.ryx" "$folder/links.ryx"
echo "the package installs and runs"
