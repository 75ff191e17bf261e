#!/bin/sh
# Maintainer's tool: writes the expected output of Lua 4.0 conformance programs
# (tests/lua40/NAME.lua -> NAME.out, NAME.err) by running them through a real
# Lua 4.0.1 interpreter. The build, the tests and CI never call it: the
# committed .out and .err files are the tests.
#
#   LUA=/path/to/lua-4.0.1 sh tools/lua40-oracle.sh tests/lua40/NAME.lua...
#   LUA=... sh tools/lua40-oracle.sh --check tests/lua40/*.lua
#
# LUA names the stand-alone `lua' of Lua 4.0.1, built from its unchanged source.
# Each program runs as the conformance test runs it: as scripts/monkey.lua in
# a fresh empty folder, as `$LUA scripts/monkey.lua' with stdin from /dev/null.
# --check writes nothing and reports every program whose committed files differ.
# Programs that call the engine's functions (engine.lua) cannot be run this way.
#
# The exit status is checked against the program's "-- runs on" line, which is
# how the conformance test records it: a program that ends with exit(0) must
# not carry the line (the engine exits with status 0); a program that ends in
# an error, or runs to its end without exit(), must carry it (the engine goes on
# running and the test stops it). To tell exit(0) from a plain end, a second
# run adds `-e exit(3)' after the file, which only a plain end reaches.
set -u

if [ -z "${LUA:-}" ] || [ ! -x "$LUA" ]; then
    echo "lua40-oracle: set LUA to a Lua 4.0.1 interpreter" >&2
    exit 2
fi
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
[ $# -gt 0 ] || { echo "usage: LUA=... sh tools/lua40-oracle.sh [--check] PROGRAM.lua..." >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/lua40-oracle.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
failed=0

# Runs program $1 in a fresh folder, with extra interpreter arguments $2...;
# leaves stdout, stderr and the status in $scratch/out, err, status.
runProgram() {
    program=$1
    shift
    rm -rf "$scratch/game"
    mkdir -p "$scratch/game/scripts"
    cp "$program" "$scratch/game/scripts/monkey.lua"
    (cd "$scratch/game" && timeout -k 5 20 "$LUA" scripts/monkey.lua "$@" \
        </dev/null >"$scratch/out" 2>"$scratch/err")
    echo $? >"$scratch/status"
}

for program in "$@"; do
    base=${program%.lua}
    name=$(basename "$base")
    runProgram "$program" -e 'exit(3)'
    probe=$(cat "$scratch/status")
    runProgram "$program"
    status=$(cat "$scratch/status")

    if grep -qx -- '-- runs on' "$program"; then runsOn=1; else runsOn=0; fi
    case "$probe" in
        0) ended="exit(0)"; wantRunsOn=0 ;;
        1) ended="an error"; wantRunsOn=1 ;;
        3) ended="its last line without exit()"; wantRunsOn=1 ;;
        124 | 137) ended="the time limit"; wantRunsOn=-1 ;;
        *) ended="exit status $probe"; wantRunsOn=-1 ;;
    esac
    if [ "$wantRunsOn" -lt 0 ]; then
        echo "$name: ended by $ended, which the conformance test cannot express" >&2
        failed=1
    elif [ "$wantRunsOn" -ne "$runsOn" ]; then
        if [ "$runsOn" -eq 1 ]; then
            echo "$name: ended by $ended, so it must not carry \"-- runs on\"" >&2
        else
            echo "$name: ended by $ended, so it must carry \"-- runs on\"" >&2
        fi
        failed=1
    fi

    if [ "$check" -eq 1 ]; then
        for stream in out err; do
            if ! cmp -s "$scratch/$stream" "$base.$stream"; then
                echo "$name.$stream differs from Lua 4.0.1 (status $status):" >&2
                diff "$base.$stream" "$scratch/$stream" | sed 's/^/    /' >&2
                failed=1
            fi
        done
    else
        cp "$scratch/out" "$base.out"
        cp "$scratch/err" "$base.err"
        echo "$name: status $status, ended by $ended"
    fi
done
exit $failed
