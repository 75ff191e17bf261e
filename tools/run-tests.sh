#!/bin/sh
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test (unit, script-level and
# real-window) with ctest.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DVOND_SANITIZE=ON -DVOND_TESTS=ON >/dev/null
cmake --build build-tests -j "$(nproc)"
cd build-tests
ctest -j "$(nproc)" --output-on-failure --timeout 300
