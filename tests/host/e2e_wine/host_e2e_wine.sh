#!/usr/bin/env bash
# End-to-end runs of the real mirecrest.exe under Wine, one case per call:
#   host_e2e_wine.sh CASE BIN_DIR SAMPLE_DIR
# A case runs the executable from BIN_DIR in the prefix of $WINEPREFIX with a
# fresh copy of the sample game as its working directory (--wd) and its own
# write directory, and fails (exit 1, showing the runs' output) when the host
# does not behave. Cases share the prefix's registry and named mutex, so CTest
# runs them one at a time.
set -u
case_name=$1
bin=$2
sample=$3
. "$(dirname "$0")/../../../cmake/wine-env.sh" || exit 1

# A run that has not ended after this many seconds has hung.
run_limit=120
# The first instance of the two-instance case signs its first frame within
# this many seconds (checked every tenth of a second).
start_limit=60
registry_key='HKLM\SOFTWARE\Quillon\Mirecrest'

root=$(mktemp -d "${TMPDIR:-/tmp}/mc-e2e-wine.XXXXXX")
cleanup() {
    [ -n "${first_pid:-}" ] && kill "$first_pid" 2>/dev/null && wait "$first_pid" 2>/dev/null
    "$MC_WINE" reg delete "$registry_key" /f >/dev/null 2>&1
    rm -rf "$root" ${personal_write_dir:+"$personal_write_dir"}
}
trap cleanup EXIT
cp -r "$sample" "$root/wd"
mkdir -p "$root/write"

fail() {
    echo "FAIL [$case_name]: $*" >&2
    for out in "$root"/*.out; do
        [ -f "$out" ] && { echo "--- ${out##*/}"; cat "$out"; } >&2
    done
    exit 1
}

# run NAME ARGUMENTS...: mirecrest.exe --wd ARGUMENTS in the working directory;
# standard output and error in $root/NAME.out, the exit status in $status.
run() {
    local name=$1
    shift
    (cd "$root/wd" && timeout "$run_limit" "$MC_WINE" "$bin/mirecrest.exe" --wd "$@") >"$root/$name.out" 2>&1
    status=$?
}

expect_status() { [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1"; }
expect_output() { grep -qF -- "$2" "$root/$1.out" || fail "$1: no '$2' in the output"; }
refuse_output() { ! grep -qF -- "$2" "$root/$1.out" || fail "$1: '$2' in the output"; }

windows_path() { "$MC_WINE" winepath -w "$1" 2>/dev/null; }
unix_path() { "$MC_WINE" winepath -u "$1" 2>/dev/null; }

set_write_dir() {
    "$MC_WINE" reg add "$registry_key" /v WriteDir /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
        fail "cannot write the registry value WriteDir"
}

# The sample game runs its frames and ends with the quit message's code; a
# full-path WriteDir is the write directory, holding the log.
case_frames() {
    set_write_dir "$(windows_path "$root/write")"
    run frames -frames=30 -exitcode=7
    expect_status 7 "the quit code"
    expect_output frames "first frame"
    expect_output frames "quitting after 30 frames with exit code 7"
    expect_output frames "(flags 1,"
    grep -qF "quitting after 30 frames" "$root/write/mirecrest.log" 2>/dev/null ||
        fail "no log in the write directory $root/write"
}

# A relative WriteDir goes under the personal folder (SHGetFolderPathA).
case_relative_write_dir() {
    local name="McE2E-$$"
    set_write_dir "$name"
    run relative -frames=5
    expect_status 0 "a run of 5 frames"
    local line
    line=$(grep -o "write directory '[^']*' (flags [0-9]*" "$root/relative.out") || fail "no write directory logged"
    local write_dir=${line#write directory \'}
    write_dir=${write_dir%%\'*}
    case "$write_dir" in
        *'\Documents\'"$name") ;;
        *) fail "write directory '$write_dir' is not $name in the personal folder" ;;
    esac
    [ "${line##* }" = 1 ] || fail "the write directory fell back: $line"
    personal_write_dir=$(unix_path "$write_dir")
    [ -f "$personal_write_dir/mirecrest.log" ] || fail "no log in $personal_write_dir"
}

# A WriteDir that does not fit 260 bytes is refused, saying why, and the
# default name goes under the personal folder.
case_long_write_dir() {
    set_write_dir "$(printf 'w%.0s' $(seq 300))"
    run long_write_dir -frames=1
    expect_status 0 "a run with an over-long WriteDir"
    expect_output long_write_dir "The registry value WriteDir is refused: its 300 characters do not fit in 259"
    expect_output long_write_dir '\Mirecrest'"' (flags 1,"
}

# A refusal once the filesystem runs (a game class name too long for its
# buffer) shuts down what start-up made.
case_refusal_after_filesystem() {
    set_write_dir "$(windows_path "$root/write")"
    printf "sub main() { GameClassName('%s'); }\n" "$(printf 'c%.0s' $(seq 300))" >"$root/wd/long.ini"
    run refusal ini=long.ini -frames=1 -exitcode=2
    expect_status 0 "a refused start-up"
    expect_output refusal "does not fit in 259 characters"
    expect_output refusal "crash handling closed"
    expect_output refusal "filesystem shut down"
    refuse_output refusal "first frame"
}

# While a first instance holds the mutex a second one is refused with exit 0
# before it starts anything; "-ami" lets a third one run.
case_second_instance() {
    set_write_dir "$(windows_path "$root/write")"
    cd "$root/wd" || fail "no working directory"
    timeout "$run_limit" "$MC_WINE" "$bin/mirecrest.exe" --wd -frames=1000000 >"$root/first.out" 2>&1 &
    first_pid=$!
    local tries=$((start_limit * 10))
    until grep -qF "first frame" "$root/first.out"; do
        kill -0 "$first_pid" 2>/dev/null || fail "the first instance ended before its first frame"
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || fail "the first instance showed no frame within $start_limit seconds"
        sleep 0.1
    done
    run second -frames=5 -exitcode=3
    expect_status 0 "the refused second instance"
    expect_output second "Mire Crest is already running"
    refuse_output second "first frame"
    run third -ami -frames=5 -exitcode=3
    expect_status 3 "the third instance with -ami"
    expect_output third "quitting after 5 frames"
    kill -0 "$first_pid" 2>/dev/null || fail "the first instance did not keep running"
}

case_initfail() {
    set_write_dir "$(windows_path "$root/write")"
    run initfail -initfail
    expect_status 1 "a failed game initialisation"
    refuse_output initfail "first frame"
}

# The crash guard hands the fault to the dump writer: a text report and a
# minidump in the write directory; the handler then ends the run with the
# message record's wParam (0: no message was taken).
case_crash() {
    set_write_dir "$(windows_path "$root/write")"
    run crash -crash
    expect_status 0 "a crash the guard's handler took"
    expect_crash_files crash
}

# The dump writer says "keep searching": the fault takes its course and the
# process ends with the exception code (0xC0000005; its low byte as a status).
case_crash_search() {
    set_write_dir "$(windows_path "$root/write")"
    MC_DUMP_VERDICT=search run crash_search -crash
    expect_status 5 "a crash passed on by the guard"
    expect_crash_files crash_search
}

expect_crash_files() {
    expect_output "$1" "exception 0xC0000005"
    expect_output "$1" "minidump written"
    local report dump
    report=$(ls "$root"/write/crash-*.txt 2>/dev/null | head -n 1)
    dump=$(ls "$root"/write/crash-*.dmp 2>/dev/null | head -n 1)
    [ -n "$report" ] && grep -q "exception code: 0xC0000005" "$report" || fail "$1: no crash report"
    [ -n "$dump" ] && [ "$(head -c 4 "$dump")" = MDMP ] || fail "$1: no minidump"
}

case_dump_rtti() {
    set_write_dir "$(windows_path "$root/write")"
    run dump_rtti /DumpRTTI
    expect_status 0 "/DumpRTTI"
    expect_output dump_rtti "class DemoGame : public IGame"
    refuse_output dump_rtti "first frame"
}

[ -x "$bin/mirecrest.exe" ] || [ -f "$bin/mirecrest.exe" ] || fail "no $bin/mirecrest.exe"
declare -F "case_$case_name" >/dev/null || { echo "unknown case '$case_name'" >&2; exit 2; }
"case_$case_name"
echo "PASS [$case_name]"
