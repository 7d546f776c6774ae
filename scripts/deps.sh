# Sourced by the run and test scripts: the one list of the Debian packages Quillmark needs, and
# the step that installs those missing. Nothing is installed when everything is already there,
# so a user without root rights who has the packages can build and test.
# The names hold on Debian 12 and Debian 13 alike (clang's runtime, with libFuzzer, comes from
# the release's default LLVM through libclang-rt-dev).

# What the ticker itself is built from and needs at run time.
QUILL_BUILD_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
 libcurl4-openssl-dev libxcb1-dev libxcb-shape0-dev ca-certificates fonts-dejavu-core
 qt6-base-private-dev qt6-wayland libwayland-dev libwayland-bin wayland-protocols
 libpugixml-dev"
# The run command's demo without a display: a private X server, a window manager, a terminal
# to maximise beside the bar, the demo feeds' web server and a screenshot.
QUILL_DEMO_PACKAGES="xvfb openbox x11-utils xterm python3 imagemagick"
# The tests: GoogleTest and a local HTTP server, the fuzzer, the package checks, a second window
# manager (fluxbox), a headless Sway with grim and a headless Mutter with XWayland and a
# session bus for the Wayland tests, and Noto Sans beside DejaVu Sans for the tests that draw
# text.
QUILL_TEST_PACKAGES="libgtest-dev libgmock-dev libcpp-httplib-dev clang libclang-rt-dev
 locales dpkg-dev lintian desktop-file-utils fluxbox x11-xserver-utils xdotool sway grim
 mutter xwayland dbus-daemon fonts-noto-core"
# The Windows front end: cross-built with mingw-w64, GoogleTest from its sources, run by Wine.
QUILL_WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine64 googletest"

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
