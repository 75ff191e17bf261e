#!/bin/sh
# Draws the pictures of docs/authoring.md with ImageMagick and the DejaVu
# fonts. Run from anywhere: sh docs/pictures/make-pictures.sh
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
C=/usr/bin/convert # ImageMagick; another convert may come first on PATH
FONT=DejaVu-Sans
MONO=DejaVu-Sans-Mono
NOSTAMP="-define png:exclude-chunks=date,time"

# How the scene is stacked: bottom to top.
set --
y=440
i=0
for name in "tile layer 0" "sprite layer 1 (scrolls with tile layer 0)" "tile layer 1" \
            "sprite layer 2 (scrolls with tile layer 1)" "tile layer 2" \
            "sprite layer 3 (scrolls with tile layer 2)" "tile layer 3" \
            "sprite layer 4 (scrolls with tile layer 3)" "windows, oldest first"; do
    case "$name" in
        tile*) fill="#4a78b8" ;;
        sprite*) fill="#e0913a" ;;
        *) fill="#5aa55a" ;;
    esac
    top=$((y - 28))
    set -- "$@" -fill "$fill" -stroke "#202020" \
        -draw "polygon 30,$y 250,$y 300,$top 80,$top" \
        -stroke none -fill "#202020" -draw "text 315,$((y - 8)) '$name'"
    y=$((y - 46))
    i=$((i + 1))
done
$C -size 640x470 xc:white -font $FONT -pointsize 15 "$@" \
    -draw "text 30,460 'drawn from the bottom up; hidden layers are left out'" \
    $NOSTAMP "PNG24:$here/layers.png"

# How a layer's pointer and offsets place the view on the world of tiles.
set --
x=0
while [ $x -le 448 ]; do
    set -- "$@" -draw "line $((x + 40)),40 $((x + 40)),296"
    x=$((x + 32))
done
yy=0
while [ $yy -le 256 ]; do
    set -- "$@" -draw "line 40,$((yy + 40)) 488,$((yy + 40))"
    yy=$((yy + 32))
done
labels="-stroke none -fill '#707070'"
t=0
while [ $t -lt 14 ]; do
    labels="$labels -draw \"text $((t * 32 + 52)),34 '$t'\""
    t=$((t + 1))
done
eval "set -- \"\$@\" $labels"
t=0
while [ $t -lt 8 ]; do
    set -- "$@" -draw "text 22,$((t * 32 + 60)) '$t'"
    t=$((t + 1))
done
# Pointer (2, 1) with offsets (-8, -4): the screen's corner is world pixel (72, 36).
$C -size 640x400 xc:white -font $FONT -pointsize 13 -stroke "#c8c8c8" "$@" -stroke none \
    -fill "#202020" -draw "text 40,16 'the world: tiles of 32 x 32 pixels, numbered from the map cell 0, 0'" \
    -fill "#4a78b866" -stroke "#1d4a8a" -strokewidth 2 -draw "rectangle 112,76 432,276" \
    -stroke none -fill "#1d4a8a" -draw "circle 112,76 116,76" \
    -draw "text 118,94 'the screen: setLPointer(l, 2, 1, -8, -4)'" \
    -draw "text 118,112 'its corner shows world pixel'" \
    -draw "text 118,130 '(32 x 2 + 8, 32 x 1 + 4) = (72, 36)'" \
    -fill "#b03030" -stroke "#b03030" -draw "line 436,180 500,180" -draw "polygon 500,175 510,180 500,185" \
    -draw "line 108,200 60,200" -draw "polygon 60,195 50,200 60,205" -stroke none \
    -draw "text 440,172 '+1 tile: 32 px'" -draw "text 40,222 '+8 offset:'" -draw "text 40,238 '8 px back'" \
    -fill "#202020" -font $MONO -pointsize 13 \
    -draw "text 40,330 'MoveLPointer(l, 1, 0, 0, 0)   the view moves 32 pixels right'" \
    -draw "text 40,350 'MoveLPointer(l, 0, 0, 8, 0)   the view moves 8 pixels left'" \
    -draw "text 40,370 'MoveLPointer(l, 0, 0, -8, 0)  the view moves 8 pixels right'" \
    -draw "text 40,390 'screen x = 32 x (cell - pointer) + offset; offsets are kept in -31 to 0'" \
    $NOSTAMP "PNG24:$here/scrolling.png"

# A font picture: the demo's, twice its size, with its cells and their codes.
set --
row=0
while [ $row -lt 6 ]; do
    set -- "$@" -draw "text 4,$((row * 32 + 69)) '$((32 + 16 * row))'"
    row=$((row + 1))
done
col=0
while [ $col -lt 16 ]; do
    set -- "$@" -draw "text $((col * 32 + 44)),36 '+$col'"
    col=$((col + 1))
done
grid=""
g=0
while [ $g -le 16 ]; do
    grid="$grid -draw \"line $((g * 32)),0 $((g * 32)),192\""
    g=$((g + 1))
done
g=0
while [ $g -le 6 ]; do
    grid="$grid -draw \"line 0,$((g * 32)) 512,$((g * 32))\""
    g=$((g + 1))
done
eval "$C \"$root/game/fonts/font.png\" -filter point -resize 200% -stroke '#ffffff80' $grid \
    -background white -gravity SouthEast -extent 552x240 -gravity NorthWest \
    -stroke none -fill '#202020' -font $FONT -pointsize 12 \"\$@\" \
    $NOSTAMP \"PNG24:$here/font-sheet.png\""
