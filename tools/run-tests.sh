#!/bin/sh
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test (unit, script-level and
# real-window) with ctest. The fuzz targets are built too (clang, libFuzzer,
# in build-fuzz/) and each is run over its seed corpus first.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DVOND_SANITIZE=ON -DVOND_TESTS=ON >/dev/null
cmake --build build-tests -j "$(nproc)"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVOND_FUZZ=ON -DVOND_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"
(cd build-fuzz && ctest -j "$(nproc)" --output-on-failure --timeout 300)
cd build-tests
ctest -j "$(nproc)" --output-on-failure --timeout 300
