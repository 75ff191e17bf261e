#!/bin/bash
# Plays a short tour through the demo game in a real window on a virtual X
# display, with real clicks and keys, and leaves PNG screenshots, the log and
# the game's output in the folder given as the first argument.
# Usage: tools/tour.sh OUTDIR [VOND_BINARY]
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
out=$(realpath -m "${1:-tour}")
vond=$(realpath "${2:-build-release/vond}")
mkdir -p "$out"
rm -f "$out"/*.png

dpyfile=$(mktemp)
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$dpyfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$dpyfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$dpyfile")"
rm -f "$dpyfile"

game=$(mktemp -d)
cp -r "$root/game/." "$game/"
rm -f "$game/save.txt"
cd "$game"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy timeout -k 5 120 "$vond" >"$out/stdout.txt" 2>"$out/stderr.txt" &
game_pid=$!

cleanup() {
    kill "$game_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$game"
}
trap cleanup EXIT

wid=$(timeout 30 xdotool search --sync --name '^The Grand Vond Venture$' | head -1)
if [ -z "$wid" ]; then
    echo "The game window did not appear." >&2
    exit 1
fi
xdotool windowfocus --sync "$wid"

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep "${3:-0.4}"; }
shot() {
    rm -f screenshot.bmp
    xdotool key --delay 15 grave
    for _ in $(seq 100); do [ -s screenshot.bmp ] && break; sleep 0.05; done
    sleep 0.2
    /usr/bin/convert screenshot.bmp "$out/$1.png"
}
verb() { # 1 look, 2 use, 3 take
    click 50 $((384 + 28 * ($1 - 1) + 12)) 0.2
}

sleep 2.5
shot 01-dark-hall
verb 1; click 430 335 2.0; shot 02-too-dark
verb 2; click 110 207 1.5; shot 03-lamp-lit
click 430 335 1.5; shot 04-chest-open
verb 3; click 430 335 2.0; shot 05-key-taken
click 580 408 1.0
click 624 190 2.5; shot 06-study
verb 2; click 335 255 2.0; shot 07-door-open
click 580 456 2.0; shot 08-loaded-save
click 335 255 1.0
click 335 255 3.0; shot 09-escaped
xdotool key --delay 15 BackSpace
sleep 0.5
xdotool key --delay 15 q
wait "$game_pid"
status=$?
cp vonderror.log "$out/vonderror.log" 2>/dev/null
[ -f save.txt ] && cp save.txt "$out/save.txt"
echo "Tour finished (exit status $status); screenshots and log are in $out"
exit "$status"
