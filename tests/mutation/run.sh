#!/usr/bin/env bash
# Measures the suite's power: applies deliberate faults to a scratch copy of the
# product one at a time, builds, runs the suite and prints which faults it caught.
#   tests/mutation/run.sh [NAME...]   all mutants, or only the named ones
#   MC_MUTATION_REVISION=REV ...      the same against a commit (e.g. an older suite)
# Every fault is one literal edit that must match exactly once, so a refactor
# that moves the code shows up here as an error instead of a silent pass. The
# working tree is never modified: the copy lives in build-mutation/ (ignored),
# laid out like build/ so that ccache (source env.sh first) reuses its objects.
# Also prints the tests' share of the C++ lines (see share below).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
scratch=$root/build-mutation/src

names=() files=() olds=() news=() descriptions=()

# mutant NAME FILE OLD NEW DESCRIPTION: one row of the table below.
mutant() {
    names+=("$1") files+=("$2") olds+=("$3") news+=("$4") descriptions+=("$5")
}

mutant table-search engine/kernel/Parser/variable_table.cpp \
    'if (compare(entries_[mid], name, type_code) < 0)' \
    'if (compare(entries_[mid], name, type_code) > 0)' \
    "variable table's binary search compares the wrong way"
mutant dropped-release engine/kernel/Parser/node_op.h \
    '~node_op1() override { release_child(a); }' \
    '~node_op1() override { }' \
    "a one-operand node does not release its operand"
mutant swapped-operators engine/kernel/Parser/operator_eval.h \
    $'{ return a + b; }\ninline float minus(float a, float b) { return a - b; }' \
    $'{ return a - b; }\ninline float minus(float a, float b) { return a + b; }' \
    "plus and minus give each other's results"
mutant skipped-disk-check host/WinFrame.cpp \
    'return CheckFreeDiskSpace(run.write_dir.c_str());' \
    $'CheckFreeDiskSpace(run.write_dir.c_str());\n    return true;' \
    "start-up ignores the free disk space check"
mutant tool-exit-status tools/mcscript/main.cpp \
    'status = exit_failed;' \
    'status = exit_ok;' \
    "mcscript check reports a file that fails to parse as success"
mutant host-exit-status host/WinFrame.cpp \
    $'ShutDownModules(run);\n    return int(run.message.wparam);' \
    $'ShutDownModules(run);\n    return 0;' \
    "the host exits 0 whatever the game's quit message said"
mutant record-line host/language_selection.cpp \
    'constexpr int kLocaleFallbackLine = 650;' \
    'constexpr int kLocaleFallbackLine = 651;' \
    "the locale fallback's record carries the wrong line"
mutant name-limit engine/kernel/Parser/lexer_actions.cpp \
    'if (length >= token_text_size) {' \
    'if (length > token_text_size) {' \
    "a 64-character name is accepted (the limit is 63)"
mutant nesting-limit engine/kernel/Parser/context.cpp \
    'if (depth >= max_depth - 1 || !refused_scopes.empty()) {' \
    'if (depth >= max_depth - 2 || !refused_scopes.empty()) {' \
    "the nesting error comes one level early"
mutant live-count engine/kernel/Parser/slot_blocks.h \
    'if (--live_count == 0)' \
    'if (live_count - 1 == 0)' \
    "a pool's live count is not decremented when a slot comes back"
mutant shutdown-order host/shutdown.cpp \
    $'if (run.game)\n        DestroyGame();\n    run.game = nullptr;\n    if (run.mount_helper)\n        Mount::DestroyMountHelper(run.mount_helper);\n    run.mount_helper = nullptr;' \
    $'if (run.mount_helper)\n        Mount::DestroyMountHelper(run.mount_helper);\n    run.mount_helper = nullptr;\n    if (run.game)\n        DestroyGame();\n    run.game = nullptr;' \
    "shutdown destroys the mount helper before the game"
mutant guard-verdict platform/posix/guard_posix.cpp \
    'if (verdict == 1)' \
    'if (verdict == 0)' \
    "the crash guard runs the handler when the filter says keep searching"

# occurrences TEXT PATTERN: how many times PATTERN appears literally in TEXT.
occurrences() {
    local stripped=${1//"$2"/}
    echo $(((${#1} - ${#stripped}) / ${#2}))
}

# check_patterns: every selected mutant's pattern matches exactly once, before
# anything is built.
check_patterns() {
    local i count bad=0
    for i in "${selected[@]}"; do
        count=$(occurrences "$(<"$scratch/${files[i]}")" "${olds[i]}")
        if [ "$count" -ne 1 ]; then
            echo "mutant ${names[i]}: its pattern matches ${count} times in ${files[i]} (must be once)" >&2
            bad=1
        fi
    done
    return $bad
}

# copy_tree: the scratch copy of the working tree (tracked and new files), or
# of the commit MC_MUTATION_REVISION names.
copy_tree() {
    rm -rf "$scratch"
    mkdir -p "$scratch"
    if [ -n "${MC_MUTATION_REVISION:-}" ]; then
        git archive "$MC_MUTATION_REVISION" | tar -xf - -C "$scratch"
    else
        git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$scratch"
    fi
}

# apply I: writes mutant I's edit into the scratch copy, keeping the original.
apply() {
    local file=$scratch/${files[$1]} text
    cp -p "$file" "$file.unmutated"
    text=$(<"$file")
    printf '%s\n' "${text/"${olds[$1]}"/"${news[$1]}"}" >"$file"
}

# restore I: the scratch file back as it was.
restore() {
    mv "$scratch/${files[$1]}.unmutated" "$scratch/${files[$1]}"
    touch "$scratch/${files[$1]}" # newer than the mutant's objects, so it is rebuilt
}

# verdict I: builds and tests the mutant; prints caught (and the first failing
# test), missed, or no-build.
verdict() {
    local log=$scratch/build/mutation.log
    if ! cmake --build "$scratch/build" >"$log" 2>&1; then
        echo "no-build"
        return
    fi
    if ctest --test-dir "$scratch/build" -j2 --stop-on-failure --timeout 120 >"$log" 2>&1; then
        echo "missed"
    else
        echo "caught  $(grep -m1 -E 'Test +#[0-9]+: .*\*\*\*' "$log" | sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/')"
    fi
}

# share: the tests' share of all C++ lines of the copy (lexer and grammar
# sources included, build output not). In a checkout the same count is
#   git ls-files '*.cpp' '*.h' '*.l' '*.y' | xargs cat | wc -l      (all)
#   git ls-files 'tests/*.cpp' 'tests/*.h' | xargs cat | wc -l      (tests)
share() {
    local all tests
    all=$(cd "$scratch" && find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.l' \
        -o -name '*.y' \) -print0 | xargs -0 cat | wc -l)
    tests=$(cd "$scratch" && find tests -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | wc -l)
    echo "tests: $tests of $all C++ lines ($((1000 * tests / all / 10)).$((1000 * tests / all % 10)) %)"
}

selected=()
for i in "${!names[@]}"; do
    if [ $# -eq 0 ] || [[ " $* " == *" ${names[i]} "* ]]; then
        selected+=("$i")
    fi
done
[ ${#selected[@]} -gt 0 ] || { echo "no mutant named: $*" >&2; exit 2; }
copy_tree
check_patterns || exit 2
cmake -S "$scratch" -B "$scratch/build" -G Ninja -DMC_WERROR=ON >/dev/null
cmake --build "$scratch/build" >/dev/null
ctest --test-dir "$scratch/build" -j2 --stop-on-failure >/dev/null \
    || { echo "the unmutated suite fails: fix that first" >&2; exit 2; }

missed=0
printf '%-20s %-60s %s\n' mutant fault result
for i in "${selected[@]}"; do
    apply "$i"
    result=$(verdict)
    restore "$i"
    [[ $result == caught* ]] || missed=$((missed + 1))
    printf '%-20s %-60s %s\n' "${names[i]}" "${descriptions[i]}" "$result"
done
cmake --build "$scratch/build" >/dev/null
share
echo "$missed of ${#selected[@]} mutants not caught"
[ "$missed" -eq 0 ]
