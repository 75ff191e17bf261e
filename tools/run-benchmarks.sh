#!/bin/sh
# Installs what is missing, builds the benchmarks in Release (no sanitizers)
# in build-bench/, runs every bench/*_bench program headless and prints one
# table of medians. Extra arguments go to every program, for example
#   tools/run-benchmarks.sh --benchmark_repetitions=9
# (default 5 repetitions). Raw JSON results stay in build-bench/results/.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVOND_BENCH=ON -DVOND_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)"

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
args="$*"
[ -z "$args" ] && args="--benchmark_repetitions=5"
mkdir -p build-bench/results
rm -f build-bench/results/*.json
for program in build-bench/bench/*_bench; do
    [ -x "$program" ] || continue
    name=$(basename "$program")
    echo "running $name" >&2
    # The programs run in a scratch directory: some write files (saves, logs).
    (cd build-bench/results && "../bench/$name" $args --benchmark_report_aggregates_only=true \
        --benchmark_format=json --benchmark_out="$name.json" --benchmark_out_format=json >/dev/null)
done

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
python3 tools/bench-table.py build-bench/results/*.json
