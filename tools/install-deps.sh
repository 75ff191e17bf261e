#!/bin/sh
# Installs every Debian package the engine, its tests, its fuzz targets (clang
# and libFuzzer) and its benchmarks need.
# Idempotent: asks apt only when something is missing, and says nothing when
# everything is already there.
set -e

PACKAGES="build-essential cmake pkg-config
libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev liblua5.1-0-dev
libgtest-dev libbenchmark-dev libx11-dev clang libclang-rt-dev
xvfb xdotool x11-apps imagemagick fonts-dejavu-core evilwm python3 sox vorbis-tools"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
