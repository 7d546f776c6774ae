# Sourced by the run and test scripts: installs the Debian packages that are missing.
# Nothing is installed when everything is already there, so a user without root rights who has
# the packages can build and test.

QUILL_BUILD_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
 libcurl4-openssl-dev libxcb1-dev libxcb-shape0-dev ca-certificates fonts-dejavu-core
 qt6-base-private-dev qt6-wayland libwayland-dev libwayland-bin wayland-protocols
 libpugixml-dev"
# A headless Sway and grim run the Wayland tests; they skip without them.
QUILL_DESKTOP_PACKAGES="xvfb openbox x11-utils x11-xserver-utils xdotool imagemagick python3
 sway grim"
# The Windows front end: cross-built with mingw-w64, GoogleTest from its sources, run by Wine.
QUILL_WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine64 googletest"
# fluxbox is the second window manager the docking tests run under.
QUILL_TEST_PACKAGES="libgtest-dev libgmock-dev libcpp-httplib-dev clang libclang-rt-14-dev
 libfuzzer-14-dev xterm locales dpkg-dev lintian desktop-file-utils fluxbox"
# The font-sensitive tests run under DejaVu Sans and under Noto Sans.
QUILL_TEST_PACKAGES="$QUILL_TEST_PACKAGES fonts-noto-core"

quill_install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "These packages are missing and there is no sudo: ${missing[*]}" >&2
            return 1
        fi
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            "${missing[@]}"
}
