#!/bin/sh
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz/) and runs each in turn for the
# given number of seconds (default 60), at the lowest priority, one at a time.
#
#   tools/fuzz.sh [seconds] [target...]
#
# New inputs that reach further are kept in build-fuzz/corpus/<target>/, next
# to the seeds in fuzz/corpus/<target>/ (copy the worthwhile ones there).
# Inputs that crash or hang are written to build-fuzz/findings/; each target's
# last lines (runs, runs per second) go to build-fuzz/findings/<target>.log.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"fuzz_lua40_lex fuzz_lua40_translate fuzz_saveload fuzz_map fuzz_image fuzz_script_args"}

sh tools/install-deps.sh
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVOND_FUZZ=ON -DVOND_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

root=$(pwd)
mkdir -p build-fuzz/findings
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for target in $targets; do
    seeds="$root/fuzz/corpus/$target"
    leaks=1
    case $target in
        fuzz_lua40_*) seeds="$seeds $root/tests/lua40 $root/game/scripts" ;;
        # Stores and events keep what they replace for the whole run, by design:
        # looking for leaks after every input would only find those.
        fuzz_map|fuzz_script_args) leaks=0 ;;
    esac
    mkdir -p "build-fuzz/corpus/$target"
    echo "== $target for $seconds s"
    # shellcheck disable=SC2086
    if ! nice -n 19 "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -detect_leaks=$leaks -close_fd_mask=3 -print_final_stats=1 \
        -artifact_prefix="$root/build-fuzz/findings/$target-" \
        "build-fuzz/corpus/$target" $seeds >"build-fuzz/findings/$target.log" 2>&1; then
        echo "   found a fault: see build-fuzz/findings/$target.log"
        status=1
    fi
    grep -E "^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::average_exec_per_sec)" \
        "build-fuzz/findings/$target.log" | sed 's/^/   /'
done
exit $status
