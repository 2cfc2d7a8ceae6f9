#!/bin/sh
# Checks the naming rules of the .clang-tidy files against the product's
# sources: cmake/lint-names.sh [BUILD_DIR] [FOLDER...] (default: build, and
# engine host modules platform tools). Exit status 1 when a name breaks them.
#
# The build compiles against per-library include trees of linked headers;
# clang-tidy would then read each header's rules from the build folder. A copy
# of the compile database with the source root in their place lets every
# header be checked under the .clang-tidy of the folder it lives in.
set -eu
command -v clang-tidy >/dev/null || { echo "lint-names.sh: clang-tidy is not installed" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
[ $# -gt 0 ] && shift
folders=${*:-engine host modules platform tools}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -E "s#-I$build/include/[^ \"]+#-I$root#g" "$build/compile_commands.json" >"$work/compile_commands.json"

cd "$root"
sources=$(for folder in $folders; do find "$folder" -name '*.cpp'; done | sort)
# Only the sources this build compiles (the other system's backend is not in it).
listed=$(for source in $sources; do
    grep -q "\"file\": \"$root/$source\"" "$work/compile_commands.json" && echo "$source"
done)
echo "$listed" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$work" --quiet 2>/dev/null |
    grep -E 'warning:' | sort -u >"$work/found" || true
cat "$work/found"
echo "$(wc -l <"$work/found") names break the naming rules"
[ ! -s "$work/found" ]
