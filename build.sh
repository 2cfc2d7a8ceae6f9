#!/usr/bin/env bash
# Set-up, build and test entry point.
#   ./build.sh run        installs what is missing, builds, runs the host on the sample game
#   ./build.sh test       installs what is missing, builds and runs every test
#   ./build.sh deps       only installs what is missing
#   ./build.sh win-test   the same for the Windows build (mingw-w64), its tests run under Wine
#   ./build.sh win-run    builds for Windows and runs mirecrest.exe on the sample game under Wine
# Environment: BUILD_DIR (default build, build-win for the Windows build),
# MC_CMAKE_ARGS (extra configure arguments), WINEPREFIX (win-run's prefix,
# default BUILD_DIR/wine-run-prefix).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build_dir=${BUILD_DIR:-build}

packages=(cmake ninja-build g++ clang libclang-rt-14-dev flex bison libsdl2-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev lua5.4 nlohmann-json3-dev nodejs)
windows_packages=(cmake make ninja-build flex bison googletest g++-mingw-w64-x86-64 mingw-w64 wine64 nlohmann-json3-dev)

install_missing() {
    local missing=()
    for p in "$@"; do
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

# The suites that run under node: the editor grammar's annotated samples and the
# language server's end-to-end tests against this build's mcscript.
run_node_tests() {
    (cd editors/vscode && npm ci --no-audit --no-fund >/dev/null && npm test)
    (cd tests/lsp && npm ci --no-audit --no-fund >/dev/null && MCSCRIPT="$root/$build_dir/bin/mcscript" npm test)
}

run_sample() {
    local exe="$root/$build_dir/bin/mirecrest"
    [ -x "$exe" ] || { echo "the host is not built yet: $exe" >&2; exit 1; }
    cd "$root/sample"
    # The sample folder is the working directory (--wd); headless without a display.
    "$exe" --wd "$@"
}

# The Windows build: the mingw-w64 toolchain file; CTest runs the tests under
# Wine in a fresh prefix of its own. It takes CMake's default generator (or the
# one CMAKE_GENERATOR names), so it is known to build with any of them.
windows_build() {
    build_dir=${BUILD_DIR:-build-win}
    # shellcheck disable=SC2086
    cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ${MC_CMAKE_ARGS:-} >/dev/null
    cmake --build "$build_dir" --parallel "$(nproc)"
}

run_windows_sample() {
    local exe="$root/$build_dir/bin/mirecrest.exe"
    export WINEPREFIX=${WINEPREFIX:-$root/$build_dir/wine-run-prefix}
    [ -d "$WINEPREFIX" ] || cmake/wine-prefix.sh start "$WINEPREFIX"
    cd "$root/sample"
    "$root/cmake/wine-run.sh" "$exe" --wd "$@"
}

case "${1:-}" in
    deps) install_missing "${packages[@]}" ;;
    run) shift; install_missing "${packages[@]}"; configure_and_build; run_sample "$@" ;;
    test) install_missing "${packages[@]}"; configure_and_build; ctest --test-dir "$build_dir" --output-on-failure -j2
          run_node_tests ;;
    win-test) install_missing "${windows_packages[@]}"; windows_build
              ctest --test-dir "$build_dir" --output-on-failure -j2 ;;
    win-run) shift; install_missing "${windows_packages[@]}"; windows_build; run_windows_sample "$@" ;;
    *) echo "usage: $0 run|test|deps|win-test|win-run" >&2; exit 2 ;;
esac
