#!/bin/sh
# Installs what is missing, builds the engine and starts the game in game/.
# Without a display it plays the game on a virtual display instead.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVOND_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target vond
cd game
if [ -n "$DISPLAY" ]; then
    exec ../build-release/vond
fi
echo "No display: playing a tour of the game on a virtual display."
cd ..
exec bash tools/tour.sh tour build-release/vond
