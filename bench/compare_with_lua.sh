#!/usr/bin/env bash
# The tool beside Lua 5.4 on the same statements, in two generated shapes:
#   benchmark  1000 subtrees of 25 if/else groups (100,000 statements, 6 MB)
#   wide       20,000 subtrees of one group, each called from main (80,000 statements)
# and two jobs each:
#   check      mcscript check  vs  luac5.4 -p    (parse only)
#   walk       mcscript walk   vs  lua5.4        (run, output to /dev/null)
# Times are CPU times (user + system) of the process. Rounds interleave the two
# programs, and the ratio is the median of the rounds' own ratios, so load on a
# shared machine falls on both alike; "sys" is the median system part, where the
# cost of fresh memory shows. Peak memory (largest resident set, median
# over the rounds) stands beside the design's own minimum for the file: node
# slots x 128 + list elements x 32 + the file's text.
# Usage: bench/compare_with_lua.sh BUILD_DIR   (configured with -DMC_BUILD_BENCH=ON)
#        ROUNDS=N (default 9, at least 9)
set -euo pipefail
build=$(cd "${1:?usage: compare_with_lua.sh BUILD_DIR}" && pwd)
rounds=${ROUNDS:-9}
if [ "$rounds" -lt 9 ]; then
    echo "compare_with_lua.sh: ROUNDS must be at least 9" >&2
    exit 2
fi
cmake --build "$build" --target mcscript mc_script_generator mc_measure_run mc_design_minimum >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
measure="$build/bin/mc_measure_run"
mc="$build/bin/mcscript"

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# compare LABEL OURS... -- PEER...: ROUNDS interleaved runs of both; one line.
compare() {
    local label=$1 ours=() peer=()
    shift
    while [ "$1" != -- ]; do ours+=("$1"); shift; done
    shift
    peer=("$@")
    local t_ours=() t_peer=() m_ours=() m_peer=() s_ours=() s_peer=() ratios=()
    for _ in $(seq "$rounds"); do
        read -r a ma sa < <("$measure" "${ours[@]}")
        read -r b mb sb < <("$measure" "${peer[@]}")
        t_ours+=("$a") m_ours+=("$ma") s_ours+=("$sa") t_peer+=("$b") m_peer+=("$mb") s_peer+=("$sb")
        ratios+=("$(awk -v a="$a" -v b="$b" 'BEGIN { print a / b }')")
    done
    printf '  %-6s mcscript %7.1f ms (sys %5.1f) %7.1f MB | %-8s %7.1f ms (sys %5.1f) %6.1f MB | ratio %.2f (rounds %s to %s)\n' \
        "$label" \
        "$(printf '%s\n' "${t_ours[@]}" | median | awk '{ print $1 / 1000 }')" \
        "$(printf '%s\n' "${s_ours[@]}" | median | awk '{ print $1 / 1000 }')" \
        "$(printf '%s\n' "${m_ours[@]}" | median | awk '{ print $1 * 1024 / 1e6 }')" \
        "$(basename "${peer[0]}")" \
        "$(printf '%s\n' "${t_peer[@]}" | median | awk '{ print $1 / 1000 }')" \
        "$(printf '%s\n' "${s_peer[@]}" | median | awk '{ print $1 / 1000 }')" \
        "$(printf '%s\n' "${m_peer[@]}" | median | awk '{ print $1 * 1024 / 1e6 }')" \
        "$(printf '%s\n' "${ratios[@]}" | median)" \
        "$(printf '%s\n' "${ratios[@]}" | sort -g | head -1 | awk '{ printf "%.2f", $1 }')" \
        "$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1 | awk '{ printf "%.2f", $1 }')"
    peak_ours=$(printf '%s\n' "${m_ours[@]}" | median)
}

# shape NAME SUBTREES GROUPS
shape() {
    local name=$1 dir="$work/$1"
    mkdir -p "$dir"
    echo "$name: $("$build/bin/mc_script_generator" "$dir" "$2" "$3")"
    read -r nodes elements text minimum < <("$build/bin/mc_design_minimum" "$dir/big.ini")
    compare check "$mc" check "$dir/big.ini" -- luac5.4 -p "$dir/big.lua"
    local check_peak=$peak_ours
    compare walk "$mc" walk "$dir/big.ini" -- lua5.4 "$dir/big.lua"
    printf '  design minimum %.1f MB (%s node slots x 128 + %s list elements x 32 + %s bytes of text);' \
        "$(awk -v m="$minimum" 'BEGIN { print m / 1e6 }')" "$nodes" "$elements" "$text"
    printf ' peak / minimum: check %.3f, walk %.3f\n' \
        "$(awk -v p="$check_peak" -v m="$minimum" 'BEGIN { print p * 1024 / m }')" \
        "$(awk -v p="$peak_ours" -v m="$minimum" 'BEGIN { print p * 1024 / m }')"
}

echo "CPU time (user + system), median of $rounds interleaved rounds; MB = 10^6 bytes"
shape benchmark 1000 25
shape wide 20000 1
