#!/usr/bin/env bash
# A newcomer's first contact on a fresh Debian: a minimal root with only git, sudo and
# ca-certificates, a user with sudo, a clone of this repository, and the README's run command
# without a display. Passes when the command exits 0 and its screenshot shows headline text on
# the bar. Every other check runs where the packages were installed before; this one does not.
# With --tests it then installs the test packages there and runs the linux preset's tests (the
# soak apart), leaving their log in build/fresh-RELEASE-tests.log.
# Usage (as root, with mmdebstrap): tests/fresh/fresh_machine.sh bookworm|trixie [--tests]
set -euo pipefail
release=$1
tests=${2:-}
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /var/tmp/quill-fresh.XXXXXX)
trap 'rm -rf "$work"' EXIT

# This machine's package sources, for the release asked for.
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}
sources=("deb $mirror $release main" "deb $mirror $release-updates main"
         "deb ${mirror%/debian}/debian-security $release-security main")

git clone --quiet --no-local "$repo" "$work/quillmark"
started=$(date +%s)
user=newcomer
home=/home/$user
mkdir -p "$repo/build"
as_user="chroot \"\$1\" runuser -u $user -- env -i HOME=$home PATH=/usr/bin:/bin bash -c"
test_hooks=()
if [ "$tests" = --tests ]; then
    test_hooks=(--customize-hook="$as_user 'cd ~/quillmark && source scripts/deps.sh &&
        quill_install_packages \$QUILL_BUILD_PACKAGES \$QUILL_DEMO_PACKAGES \$QUILL_TEST_PACKAGES &&
        cmake --preset linux >/dev/null && cmake --build --preset linux -j2 &&
        { ctest --preset linux -j2 -LE soak >~/tests.log 2>&1 || true; }'"
        --customize-hook="copy-out $home/tests.log $work"
        # A test killed at its timeout can leave a server behind in the root, and mmdebstrap
        # cannot unmount what it holds.
        --customize-hook='for proc in /proc/[0-9]*; do
            [ "$(readlink "$proc/root")" = "${1%/}" ] && kill -KILL "${proc#/proc/}"; done; true')
fi
mmdebstrap --variant=apt --include=git,sudo,ca-certificates,passwd --format=null \
    --customize-hook="chroot \"\$1\" useradd --create-home --shell /bin/bash $user" \
    --customize-hook="echo '$user ALL=(ALL) NOPASSWD:ALL' >\"\$1/etc/sudoers.d/$user\"" \
    --customize-hook="copy-in $work/quillmark $home" \
    --customize-hook="chroot \"\$1\" chown -R $user: $home/quillmark" \
    --customize-hook="$as_user 'cd ~/quillmark && ./scripts/run'" \
    --customize-hook="copy-out $home/quillmark/build/quillmark-demo.png $work" \
    "${test_hooks[@]}" \
    "$release" /dev/null "${sources[@]}" >"$work/mmdebstrap.log" 2>&1 || {
    tail -n 40 "$work/mmdebstrap.log" >&2
    [ -f "$work/tests.log" ] && cp "$work/tests.log" "$repo/build/fresh-$release-tests.log"
    echo "FAILED: the run command on a fresh $release" >&2
    exit 1
}
echo "a fresh $release root ran the run command in $(($(date +%s) - started)) s"

# The bar is at the top (the demo's links.ryx says True); the boxes at its right end are left
# out. Headline text is light grey, smoothed at its edges; the notice is yellow and is not
# counted.
shot="$work/quillmark-demo.png"
cp "$shot" "$repo/build/fresh-$release.png"
count() {
    convert "$shot" -crop 1200x13+0+0 +repage -fuzz "$2" -fill black +opaque "$1" \
        -fill white -opaque "$1" -format '%[fx:int(mean*w*h+0.5)]' info:
}
background=$(count 'rgb(34,38,46)' 2%)
text=$(count 'rgb(236,238,242)' 25%)
echo "bar background: $background pixels, headline text: $text pixels"
if [ "$background" -lt 5000 ] || [ "$text" -lt 150 ]; then
    echo "FAILED: the screenshot shows no bar with headlines on a fresh $release" >&2
    exit 1
fi
echo "passed: a fresh $release root builds and shows the bar with its headlines"
if [ "$tests" = --tests ]; then
    cp "$work/tests.log" "$repo/build/fresh-$release-tests.log"
    grep -E '^[0-9]+% tests passed' "$work/tests.log"
    grep -q '^100% tests passed' "$work/tests.log"
fi
