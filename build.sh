#!/usr/bin/env bash
# Set-up, build and test entry point.
#   ./build.sh run    installs what is missing, builds, runs the host on the sample game
#   ./build.sh test   installs what is missing, builds and runs every test
#   ./build.sh deps   only installs what is missing
# Environment: BUILD_DIR (default build), MC_CMAKE_ARGS (extra configure arguments).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build_dir=${BUILD_DIR:-build}

packages=(cmake ninja-build g++ clang flex bison libsdl2-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev lua5.4)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

configure_and_build() {
    # shellcheck disable=SC2086
    cmake -S . -B "$build_dir" -G Ninja ${MC_CMAKE_ARGS:-} >/dev/null
    cmake --build "$build_dir"
}

run_sample() {
    local exe="$root/$build_dir/bin/mirecrest"
    [ -x "$exe" ] || { echo "the host is not built yet: $exe" >&2; exit 1; }
    cd "$root/sample"
    # The sample folder is the working directory (--wd); headless without a display.
    "$exe" --wd "$@"
}

case "${1:-}" in
    deps) install_missing ;;
    run) shift; install_missing; configure_and_build; run_sample "$@" ;;
    test) install_missing; configure_and_build; ctest --test-dir "$build_dir" --output-on-failure -j2 ;;
    *) echo "usage: $0 run|test|deps" >&2; exit 2 ;;
esac
