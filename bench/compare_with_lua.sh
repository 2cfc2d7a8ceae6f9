#!/usr/bin/env bash
# Parse and walk times of mcscript beside Lua 5.4 on the same 100,000 statements:
#   mcscript check  vs  luac5.4 -p      (parse only)
#   mcscript walk   vs  lua5.4          (run, output to /dev/null)
# Prints the median of RUNS runs (default 5) and the peak memory of one run.
# Usage: bench/compare_with_lua.sh BUILD_DIR   (configured with -DMC_BUILD_BENCH=ON)
set -euo pipefail
build=$(cd "${1:?usage: compare_with_lua.sh BUILD_DIR}" && pwd)
runs=${RUNS:-5}
cmake --build "$build" --target mcscript mc_script_generator >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/mc_script_generator" "$work"
cd "$work"

median_ms() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

mc="$build/bin/mcscript"
bytes=$(stat -c %s big.ini)
statements=100000
for what in parse walk; do
    if [ "$what" = parse ]; then ours=("$mc" check big.ini); peer=(luac5.4 -p big.lua)
    else ours=("$mc" walk big.ini); peer=(lua5.4 big.lua); fi
    t_ours=$(median_ms "${ours[@]}")
    t_peer=$(median_ms "${peer[@]}")
    printf '%-5s mcscript %6d ms  (%s MB/s, %s statements/s, peak %s KB)   %s %6d ms (peak %s KB)   ratio %s\n' \
        "$what" "$t_ours" \
        "$(awk -v b="$bytes" -v t="$t_ours" 'BEGIN { printf "%.1f", t ? b / 1048576 / (t / 1000) : 0 }')" \
        "$(awk -v s="$statements" -v t="$t_ours" 'BEGIN { printf "%.0f", t ? s / (t / 1000) : 0 }')" \
        "$(peak_kb "${ours[@]}")" "${peer[0]}" "$t_peer" "$(peak_kb "${peer[@]}")" \
        "$(awk -v a="$t_ours" -v b="$t_peer" 'BEGIN { printf "%.2f", b ? a / b : 0 }')"
done
