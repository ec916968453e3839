# Shared by scripts/run and scripts/test: installs the Debian packages the build needs and builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

PACKAGES=(
    cmake g++ make pkg-config clang libclang-rt-14-dev clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libmpv-dev libffms2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth openbox x11-utils xdotool ffmpeg imagemagick mpv espeak-ng sox
    appstream desktop-file-utils
)

install_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_program() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)"
}

# A display of our own with a window manager, so that nothing touches the user's desktop; stopped when
# the calling script ends.
start_display() {
    local display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=$display
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    WM_PID=$!
    trap 'kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true' EXIT
    sleep 0.5
}
