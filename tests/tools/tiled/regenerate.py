#!/usr/bin/env python3
"""Remakes the Tiled test maps of this folder with the Tiled editor itself.

The maps below are written as sources in a scratch folder and re-exported by
Tiled's command line (Debian package tiled), so the files kept here are exactly
what the editor writes: JSON and TMX, CSV and base64 (plain and zlib) layer
data, tilesets in their own files (TSX, JSON) and embedded. The two tileset
pictures are drawn here. Run: python3 tests/tools/tiled/regenerate.py
"""
import base64
import os
import shutil
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 7, 5  # the room map

# Tiled's tile numbers (gids) of the room, 0 for an empty cell; firstgid is 1.
ROOM = [1, 2, 3, 0, 4, 5, 6,
        7, 8, 0, 0, 1, 2, 3,
        4, 5, 6, 7, 8, 0, 1,
        0, 0, 2, 3, 4, 5, 0,
        6, 7, 8, 1, 2, 3, 4]
FLIPPED = 0x80000000


def png(path, w, h, colour_at):
    rows = b"".join(b"\0" + bytes(c for x in range(w) for c in colour_at(x, y)) for y in range(h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def tiles_picture(x, y):
    # Eight tiles, each its own colour with a dark corner mark (so that a tile
    # drawn turned or shifted shows) and a magenta hole: the key colour.
    t = (y // 32) * 4 + x // 32
    i, j = x % 32, y % 32
    if i < 6 and j < 6:
        return (20, 20, 20)
    if 12 <= i < 20 and 12 <= j < 20:
        return (255, 0, 255)
    return (40 + 30 * t, 200 - 20 * t, 60 + 25 * (t % 3))


def marks_picture(x, y):
    # Two tiles on the engine's transparent colour: a cross and a ring.
    t = x // 32
    i, j = x % 32 - 16, y % 32 - 16
    if t == 0 and (abs(i) < 3 or abs(j) < 3):
        return (250, 240, 90)
    if t == 1 and 64 <= i * i + j * j <= 144:
        return (90, 220, 250)
    return (251, 3, 248)


def layer(lid, name, gids, encoding):
    if encoding == "csv":
        rows = (",".join(str(g) for g in gids[r * W:(r + 1) * W]) for r in range(H))
        data = '<data encoding="csv">\n%s\n</data>' % ",\n".join(rows)
    else:
        raw = struct.pack("<%dI" % len(gids), *gids)
        compression = ' compression="zlib"' if encoding == "zlib" else ""
        data = '<data encoding="base64"%s>\n   %s\n  </data>' % (
            compression, base64.b64encode(zlib.compress(raw) if compression else raw).decode())
    return ' <layer id="%d" name="%s" width="%d" height="%d">\n  %s\n </layer>\n' % (
        lid, name, W, H, data)


def tmx(tilesets, layers, properties=True, tilesize=32, extra=""):
    props = (' <properties>\n  <property name="edge" value="wrap"/>\n </properties>\n'
             if properties else "")
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            'renderorder="right-down" width="%d" height="%d" tilewidth="%d" tileheight="%d" '
            'infinite="0" nextlayerid="9" nextobjectid="2">\n%s%s%s%s</map>\n'
            % (W, H, tilesize, tilesize, props, tilesets, layers, extra))


ROOM_TSX = ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<tileset version="1.8" name="room" tilewidth="32" tileheight="32" tilecount="8" '
            'columns="4">\n <image source="tiles.png" trans="ff00ff" width="128" height="64"/>\n'
            ' <tile id="1">\n  <properties>\n   <property name="collide" type="bool" value="true"/>\n'
            '  </properties>\n </tile>\n'
            ' <tile id="4">\n  <properties>\n   <property name="attribute" type="int" value="6"/>\n'
            '   <property name="collide" type="int" value="1"/>\n  </properties>\n </tile>\n'
            '</tileset>\n')

PLAIN_TILESET = (' <tileset firstgid="1" name="plain" tilewidth="32" tileheight="32" tilecount="8" '
                 'columns="4">\n  <image source="tiles.png" width="128" height="64"/>\n </tileset>\n')

MARKS_TILESET = (' <tileset firstgid="9" name="marks" tilewidth="32" tileheight="32" tilecount="2" '
                 'columns="2">\n  <image source="marks.png" trans="fb03f8" width="64" height="32"/>\n'
                 ' </tileset>\n')

OBJECTS = (' <objectgroup id="8" name="Notes">\n  <object id="1" x="10" y="10" width="20" '
           'height="20"/>\n </objectgroup>\n')


def main():
    png(os.path.join(HERE, "tiles.png"), 128, 64, tiles_picture)
    png(os.path.join(HERE, "marks.png"), 64, 32, marks_picture)
    work = tempfile.mkdtemp()
    try:
        for picture in ("tiles.png", "marks.png"):
            shutil.copy(os.path.join(HERE, picture), work)
        sources = {
            "src-room.tmx": tmx(' <tileset firstgid="1" source="room.tsx"/>\n', layer(1, "Room", ROOM, "csv")),
            "src-room-zlib.tmx": tmx(' <tileset firstgid="1" source="room.tsx"/>\n', layer(1, "Room", ROOM, "zlib")),
            "src-room-tsj.tmx": tmx(' <tileset firstgid="1" source="room.tsj"/>\n', layer(1, "Room", ROOM, "zlib")),
            "src-room-base64.tmx": tmx(PLAIN_TILESET, layer(1, "Room", ROOM, "base64"), properties=False),
            "src-two-layers.tmx": tmx(' <tileset firstgid="1" source="room.tsx"/>\n' + MARKS_TILESET,
                                      layer(1, "Ground", ROOM, "csv") + OBJECTS +
                                      layer(2, "Top", [9 if g == 3 else 10 if g == 6 else 0 for g in ROOM], "csv")),
            "src-mixed.tmx": tmx(' <tileset firstgid="1" source="room.tsx"/>\n' + MARKS_TILESET,
                                 layer(1, "Room", [9 if g == 8 else g for g in ROOM], "csv")),
            "src-flipped.tmx": tmx(' <tileset firstgid="1" source="room.tsx"/>\n',
                                   layer(1, "Room", [g | FLIPPED if i == 8 else g for i, g in enumerate(ROOM)], "csv")),
            "src-small-tiles.tmx": tmx(PLAIN_TILESET.replace('"32"', '"16"'), layer(1, "Room", ROOM, "csv"),
                                       tilesize=16),
        }
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

        def tiled(*args):
            subprocess.run(["tiled"] + list(args), cwd=work, env=env, check=True,
                           stderr=subprocess.DEVNULL)

        # The tilesets first, so that the maps refer to the editor's own versions.
        with open(os.path.join(work, "src-room.tsx"), "w") as f:
            f.write(ROOM_TSX)
        tiled("--export-tileset", "tsx", "src-room.tsx", "room.tsx")
        tiled("--export-tileset", "json", "src-room.tsx", "room.tsj")
        for name, text in sources.items():
            with open(os.path.join(work, name), "w") as f:
                f.write(text)
        exports = [
            ("src-room.tmx", "tmx", "room-csv.tmx"),
            ("src-room.tmx", "json", "room-csv.json"),
            ("src-room.tmx", "json", "room-embedded.json", "--embed-tilesets"),
            ("src-room-zlib.tmx", "tmx", "room-zlib.tmx", "--embed-tilesets"),
            ("src-room-tsj.tmx", "json", "room-zlib.json"),
            ("src-room-base64.tmx", "json", "room-base64.json"),
            ("src-two-layers.tmx", "tmx", "two-layers.tmx"),
            ("src-mixed.tmx", "json", "mixed.json"),
            ("src-flipped.tmx", "tmx", "flipped.tmx"),
            ("src-small-tiles.tmx", "json", "small-tiles.json"),
        ]
        for source, form, target, *options in exports:
            tiled(*options, "--export-map", form, source, target)
        for name in ["room.tsx", "room.tsj"] + [e[2] for e in exports]:
            shutil.copy(os.path.join(work, name), HERE)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
