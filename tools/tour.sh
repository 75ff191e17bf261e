#!/bin/sh
# Plays the tour through the demo game on a virtual X display, with real
# clicks and keys, and leaves its PNG screenshots, the log, standard output
# and error, and the save file in OUTDIR (default: tour). The tour is the
# real-window test DemoTour (tests/window/demo_tour_test.cpp), told by
# VOND_TOUR_DIR where to leave what it saw.
# Usage: tools/tour.sh [OUTDIR]
set -e
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-tour}")
sh tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVOND_TESTS=ON >/dev/null
cmake --build build-release -j "$(nproc)" --target vond vond_window_tests
mkdir -p "$out"
rm -f "$out"/*.png
VOND_TOUR_DIR="$out" build-release/tests/vond_window_tests --gtest_filter='DemoTour.*'
echo "Screenshots, log, output and save are in $out"
