#!/usr/bin/env bash
# Sets up, builds, runs and tests Quenbry on Debian 12.
#   ./build.sh run     install what is missing, build, start the program
#   ./build.sh check   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}

# Debian packages the build, the program and the tests need.
BUILD_PACKAGES=(build-essential cmake ninja-build pkgconf qt6-base-dev qt6-base-dev-tools
                libgl-dev libjpeg62-turbo-dev ffmpeg fontconfig fonts-dejavu-core
                fonts-liberation2)
TEST_PACKAGES=(libbenchmark-dev xvfb xauth xdotool imagemagick mediainfo desktop-file-utils)

install_missing() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

configure_and_build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUENBRY_WERROR="$werror" "$@"
    cmake --build "$BUILD_DIR"
}

case "${1:-}" in
run)
    install_missing "${BUILD_PACKAGES[@]}"
    configure_and_build -DQUENBRY_BUILD_TESTS=OFF -DQUENBRY_BUILD_BENCH=OFF
    exec "$BUILD_DIR/bin/quenbry"
    ;;
check)
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    configure_and_build -DQUENBRY_BUILD_TESTS=ON -DQUENBRY_BUILD_BENCH=ON
    cd "$BUILD_DIR"
    ctest --output-on-failure --parallel "$(nproc)"
    ;;
*)
    echo "usage: $0 run|check" >&2
    exit 2
    ;;
esac
