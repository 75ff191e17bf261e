#!/bin/sh
# Installs what is missing, builds the engine and starts the game in game/.
# Without a display it plays the tour of the game on a virtual display instead.
set -e
cd "$(dirname "$0")/.."
if [ -z "$DISPLAY" ]; then
    echo "No display: playing a tour of the game on a virtual display."
    exec sh tools/tour.sh tour
fi
sh tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVOND_TESTS=ON >/dev/null
cmake --build build-release -j "$(nproc)" --target vond
cd game
exec ../build-release/vond
