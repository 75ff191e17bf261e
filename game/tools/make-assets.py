#!/usr/bin/env python3
"""Makes every picture, map file and sound of the demo game.

Pictures are drawn here and written as PNG with the standard library alone;
the verb buttons are rendered by ImageMagick with the DejaVu fonts, and the
font picture by tools/make-font from DejaVu Sans Mono Bold; the garden map,
drawn in the Tiled editor's JSON form (maps/garden.json), is converted by
tools/tiled2kavmap; sounds are synthesised here and the song is encoded to OGG with
oggenc. Run from anywhere: python3 game/tools/make-assets.py
"""
import math
import os
import random
import struct
import subprocess
import wave
import zlib

GAME = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
TOOLS = os.path.normpath(os.path.join(GAME, "..", "tools"))  # the engine's authoring tools
DEJAVU_MONO_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
MAGENTA = (255, 0, 255)  # key colour of the tileset and of picture windows
# The engine's transparent colour: sprite frames, radio buttons and overlays use it.
CLEAR = (251, 3, 248)


class Picture:
    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(colour) * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][3 * x:3 * x + 3] = c

    def get(self, x, y):
        return tuple(self.px[y][3 * x:3 * x + 3])

    def rect(self, x, y, w, h, c):
        for j in range(max(0, y), min(self.h, y + h)):
            for i in range(max(0, x), min(self.w, x + w)):
                self.px[j][3 * i:3 * i + 3] = c

    def frame(self, x, y, w, h, c):
        self.rect(x, y, w, 1, c)
        self.rect(x, y + h - 1, w, 1, c)
        self.rect(x, y, 1, h, c)
        self.rect(x + w - 1, y, 1, h, c)

    def disc(self, cx, cy, r, c):
        for j in range(int(cy - r), int(cy + r) + 1):
            for i in range(int(cx - r), int(cx + r) + 1):
                if (i - cx) ** 2 + (j - cy) ** 2 <= r * r:
                    self.set(i, j, c)

    def paste(self, other, x, y, key=None):
        for j in range(other.h):
            for i in range(other.w):
                c = other.get(i, j)
                if c != key:
                    self.set(x + i, y + j, c)

    def save(self, name):
        raw = b"".join(b"\0" + bytes(row) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        path = os.path.join(GAME, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png)


def shade(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


# ---------------------------------------------------------------- backdrop
def backdrop():
    p = Picture(640, 480)
    for y in range(480):
        t = y / 479
        p.rect(0, y, 640, 1, (int(10 + 40 * t), int(12 + 30 * t), int(40 + 80 * t)))
    rnd = random.Random(7)
    for _ in range(140):
        p.set(rnd.randrange(640), rnd.randrange(200), (230, 230, 200))
    p.disc(520, 70, 28, (240, 235, 190))
    p.disc(532, 62, 26, (18, 20, 55))  # the crescent's shadow
    for x in range(640):
        top = int(170 + 25 * math.sin(x / 70.0) + 12 * math.sin(x / 23.0))
        p.rect(x, top, 1, 480 - top, (20, 40, 30))
    p.save("pics/backdrop.png")


# ---------------------------------------------------------------- darkness overlay
def darkness():
    # Every other pixel is the engine's transparent colour: a dithered shadow.
    p = Picture(640, 480, (0, 0, 12))
    for y in range(480):
        for x in range(y % 2, 640, 2):
            p.set(x, y, CLEAR)
    p.save("pics/darkness.png")


def radio_buttons():
    # A whole verb row is one button: a lamp at the left, the rest transparent
    # so the verb label drawn beneath shows through.
    for name, colour in (("on", (250, 210, 70)), ("off", (70, 60, 50))):
        p = Picture(96, 24, CLEAR)
        p.disc(11, 11, 8, (20, 20, 20))
        p.disc(11, 11, 6, colour)
        p.save("pics/radio_%s.png" % name)


# ---------------------------------------------------------------- tileset
WOOD = (120, 78, 40)
STONE = (105, 100, 110)


def tile_floor(p, x, y):
    p.rect(x, y, 32, 32, WOOD)
    for j in (0, 8, 16, 24):
        p.rect(x, y + j, 32, 1, shade(WOOD, 0.7))
    p.rect(x + 10, y, 1, 8, shade(WOOD, 0.6))
    p.rect(x + 25, y + 8, 1, 8, shade(WOOD, 0.6))
    p.rect(x + 5, y + 16, 1, 8, shade(WOOD, 0.6))
    p.rect(x + 20, y + 24, 1, 8, shade(WOOD, 0.6))


def tile_wall(p, x, y):
    p.rect(x, y, 32, 32, STONE)
    for j in range(0, 32, 8):
        p.rect(x, y + j, 32, 1, shade(STONE, 0.7))
        off = 0 if (j // 8) % 2 == 0 else 8
        for i in range(off, 32, 16):
            p.rect(x + i, y + j, 1, 8, shade(STONE, 0.7))


def tile_window(p, x, y):
    tile_wall(p, x, y)
    p.rect(x + 4, y + 4, 24, 24, MAGENTA)  # see-through: the sky shows
    p.rect(x + 15, y + 4, 2, 24, (60, 40, 20))
    p.rect(x + 4, y + 15, 24, 2, (60, 40, 20))


def tile_door(p, x, y, top, opened):
    tile_wall(p, x, y)
    if opened:
        p.rect(x + 4, y + (4 if top else 0), 24, 32 - (4 if top else 0), (10, 10, 10))
    else:
        p.rect(x + 4, y + (4 if top else 0), 24, 32 - (4 if top else 0), (90, 50, 20))
        p.rect(x + 15, y + (4 if top else 0), 2, 32, (60, 30, 10))
        if not top:
            p.disc(x + 23, y + 8, 2, (230, 200, 60))


def tile_shelf(p, x, y):
    p.rect(x, y, 32, 32, (70, 45, 25))
    rnd = random.Random(x * 31 + y)
    for j in (2, 18):
        i = 2
        while i < 30:
            w = rnd.randrange(3, 6)
            p.rect(x + i, y + j, w - 1, 13, rnd.choice([(150, 30, 30), (30, 90, 150), (40, 120, 50), (200, 170, 60)]))
            i += w
        p.rect(x, y + j + 13, 32, 2, (50, 30, 15))


def tile_lamp(p, x, y, lit):
    tile_wall(p, x, y)
    p.rect(x + 14, y + 20, 4, 12, (60, 60, 60))
    p.disc(x + 16, y + 14, 8, (255, 230, 120) if lit else (80, 80, 70))


def tile_chest(p, x, y):
    tile_floor(p, x, y)
    p.rect(x + 3, y + 10, 26, 20, (130, 80, 30))
    p.frame(x + 3, y + 10, 26, 20, (60, 40, 10))
    p.rect(x + 3, y + 16, 26, 2, (200, 170, 60))
    p.rect(x + 14, y + 18, 4, 5, (200, 170, 60))


def tileset():
    p = Picture(256, 64, MAGENTA)
    tiles = [
        lambda x, y: tile_floor(p, x, y),            # 0 floor
        lambda x, y: tile_wall(p, x, y),             # 1 wall
        lambda x, y: tile_window(p, x, y),           # 2 window
        lambda x, y: tile_door(p, x, y, True, False),   # 3 door top
        lambda x, y: tile_door(p, x, y, False, False),  # 4 door bottom
        lambda x, y: tile_shelf(p, x, y),            # 5 bookshelf
        lambda x, y: tile_lamp(p, x, y, False),      # 6 lamp
        lambda x, y: tile_chest(p, x, y),            # 7 chest
        lambda x, y: p.rect(x, y, 32, 32, (90, 30, 30)),  # 8 rug
        lambda x, y: None,                           # 9 key colour: nothing drawn
    ]
    for i, draw in enumerate(tiles):
        draw(32 * (i % 8), 32 * (i // 8))
    p.save("pics/tiles.png")


# ---------------------------------------------------------------- map file
def mapfile():
    W, H = 40, 12
    cells = {}
    for x in range(W):
        for y in range(H):
            if y < 2:
                t = -1                      # the sky above the walls
            elif y < 9:
                t = 1
            else:
                t = 0
            cells[(x, y)] = t
    for x in (6, 14, 26, 34):
        cells[(x, 4)] = 2                   # windows
    for x in (9, 10):
        for y in (5, 6, 7, 8):
            cells[(x, y)] = 5               # bookshelf in the hall
    cells[(3, 6)] = 6                       # the lamp
    cells[(13, 10)] = 7                     # the chest
    cells[(30, 7)] = 3                      # the study door
    cells[(30, 8)] = 4
    for x in range(24, 29):
        cells[(x, 10)] = 8                  # rug in the study
    lines = ["KAVMAP1", "TILESET", "id 0", "image pics/tiles.png", "key 255 0 255",
             "MAP", "id 0", "width %d" % W, "height %d" % H, "cells"]
    for y in range(H):
        for x in range(W):
            lines += ["%d %d" % (x, y), "tile %d" % cells[(x, y)],
                      "collide %d" % (1 if 2 <= y < 9 else 0),
                      "attribute %d" % (3 if (x, y) == (0, 0) else 0)]
    lines.append("")
    with open(os.path.join(GAME, "maps/manor.map"), "w") as f:
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------- the garden
# The garden outside the manor, seen at the end. Its map is drawn in the Tiled
# editor (maps/garden.json, tileset garden: these tiles, magenta as its
# transparent colour) and converted here into maps/garden.map.
GRASS = (34, 70, 38)
LEAVES = (22, 52, 30)


def garden_grass(p, x, y, seed):
    p.rect(x, y, 32, 32, GRASS)
    rnd = random.Random(seed)
    for _ in range(28):
        p.set(x + rnd.randrange(32), y + rnd.randrange(32), shade(GRASS, rnd.choice([0.7, 1.3])))


def garden_tiles():
    p = Picture(288, 32, MAGENTA)
    garden_grass(p, 0, 0, 1)                                  # 0 lawn
    garden_grass(p, 32, 0, 2)                                 # 1 lawn with flowers
    for fx, fy, c in ((8, 9, (230, 200, 230)), (22, 6, (240, 220, 90)), (15, 23, (200, 210, 250))):
        p.disc(32 + fx, fy, 2, c)
    p.rect(64, 0, 32, 32, (120, 112, 100))                    # 2 gravel path
    rnd = random.Random(5)
    for _ in range(60):
        p.set(64 + rnd.randrange(32), rnd.randrange(32), rnd.choice([(150, 140, 125), (90, 85, 78)]))
    p.rect(96, 0, 32, 32, LEAVES)                             # 3 hedge
    for j in range(2, 32, 6):
        for i in range((j // 6) % 2 * 3, 32, 6):
            p.disc(96 + i, j, 2, shade(LEAVES, 1.4))
    for i in range(32):                                       # 4 hedge top: sky above the round
        top = int(10 - 6 * math.sin(math.pi * i / 31))
        p.rect(128 + i, top, 1, 32 - top, LEAVES)
        p.set(128 + i, top, shade(LEAVES, 1.5))
    p.rect(160, 0, 32, 32, (95, 92, 100))                     # 5 gate post
    p.frame(160, 0, 32, 32, (60, 58, 66))
    p.rect(164, 2, 24, 4, (130, 126, 136))
    p.rect(192, 0, 32, 32, (120, 112, 100))                   # 6 open gate over the path
    for i in (192, 194, 220, 222):
        p.rect(i, 0, 2, 32, (30, 30, 34))
    p.rect(224, 0, 32, 32, GRASS)                             # 7 pond with the moon in it
    p.disc(240, 16, 14, (20, 36, 80))
    p.disc(244, 12, 4, (220, 220, 190))
    garden_grass(p, 256, 0, 3)                                # 8 lantern
    p.rect(270, 12, 4, 20, (40, 40, 40))
    p.disc(272, 9, 6, (255, 220, 120))
    p.save("pics/garden_tiles.png")


def garden_map():
    # Done by the engine's own converter, as an author would.
    subprocess.run([os.path.join(TOOLS, "tiled2kavmap"), "--map-id", "1", "--tileset-id", "1",
                    "--game-dir", GAME, os.path.join(GAME, "maps/garden.json"),
                    os.path.join(GAME, "maps/garden.map")], check=True, stdout=subprocess.DEVNULL)


# ---------------------------------------------------------------- sprites and icons
def cat_frames():
    for n in range(4):
        p = Picture(32, 32, CLEAR)
        body = (40, 40, 40)
        p.rect(8, 14, 16, 9, body)
        p.rect(22, 9, 8, 8, body)           # head
        p.rect(23, 6, 2, 3, body)
        p.rect(28, 6, 2, 3, body)           # ears
        p.set(26, 12, (240, 220, 60))
        p.set(28, 12, (240, 220, 60))       # eyes
        legs = [(9, 13, 17, 21), (10, 12, 18, 20), (9, 13, 17, 21), (8, 14, 16, 22)][n]
        for lx in legs:
            p.rect(lx, 23, 2, 6 if lx in (legs[0], legs[3]) else 5, body)
        p.rect(3, 10 + (n % 2) * 2, 2, 8, body)  # tail swings
        p.rect(4, 14, 5, 2, body)
        p.save("pics/cat%d.png" % n)


def chest_open():
    p = Picture(32, 32, CLEAR)
    p.rect(3, 14, 26, 16, (130, 80, 30))
    p.frame(3, 14, 26, 16, (60, 40, 10))
    p.rect(3, 2, 26, 10, (110, 65, 25))      # the lid, thrown back
    p.frame(3, 2, 26, 10, (60, 40, 10))
    p.rect(6, 16, 20, 6, (20, 10, 5))        # the empty inside
    p.save("pics/chest_open.png")


def door_open():
    p = Picture(32, 64, CLEAR)
    tile_door(p, 0, 0, True, True)
    tile_door(p, 0, 32, False, True)
    p.save("pics/door_open.png")


def lamp_light():
    p = Picture(32, 32, CLEAR)
    tile_lamp(p, 0, 0, True)
    p.save("pics/lamp_on.png")


def key_icon():
    p = Picture(32, 32, MAGENTA)
    gold = (230, 200, 60)
    p.disc(9, 16, 7, gold)
    p.disc(9, 16, 3, MAGENTA)
    p.rect(15, 15, 15, 3, gold)
    p.rect(24, 18, 2, 5, gold)
    p.rect(28, 18, 2, 4, gold)
    p.save("pics/key.png")


def arrows():
    for name, flip in (("left", True), ("right", False)):
        p = Picture(24, 48, MAGENTA)
        for j in range(48):
            half = 24 - abs(j - 24)
            for i in range(half):
                x = 23 - i if flip else i
                p.set(x, j, (230, 230, 230))
        p.save("pics/arrow_%s.png" % name)


def title_card():
    p = Picture(320, 128, (20, 20, 40))
    p.frame(0, 0, 320, 128, (230, 200, 60))
    p.frame(3, 3, 314, 122, (230, 200, 60))
    p.save("pics/title_frame.png")


# ---------------------------------------------------------------- ImageMagick pictures
def magick(args, name):
    path = os.path.join(GAME, name)
    # No time stamps in the file, so that running this again changes nothing.
    subprocess.run(["/usr/bin/convert"] + args + ["-define", "png:exclude-chunks=date,time",
                    "PNG24:" + path], check=True)


def font():
    # 16 x 16 cells from code 32, 16 per row: made by the engine's own font tool.
    subprocess.run([os.path.join(TOOLS, "make-font"), DEJAVU_MONO_BOLD, "15",
                    os.path.join(GAME, "fonts/font.png"), "--colour", "240,232,192"],
                   check=True, stdout=subprocess.DEVNULL)


def verb_labels():
    # The three verbs, one row every 28 pixels, beside the radio buttons.
    draws = []
    for row, verb in enumerate(("Look", "Use", "Take")):
        draws += ["-draw", "text 26,%d '%s'" % (18 + 28 * row, verb)]
    magick(["-size", "96x84", "xc:#201810", "-font", "DejaVu-Sans-Bold", "-pointsize", "15",
            "-fill", "#e0d0b0"] + draws, "pics/verbs.png")


# ---------------------------------------------------------------- sounds
RATE = 22050


def write_wav(name, samples):
    path = os.path.join(GAME, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 20000)) for s in samples))


def tone(freq, secs, vol=0.6, decay=6.0):
    return [vol * math.sin(2 * math.pi * freq * i / RATE) * math.exp(-decay * i / RATE)
            for i in range(int(secs * RATE))]


def sounds():
    write_wav("sounds/click.wav", tone(880, 0.08, 0.5, 30))
    creak = [0.5 * math.sin(2 * math.pi * (140 + 60 * math.sin(i / 900.0)) * i / RATE) *
             (1 - i / (0.9 * RATE)) for i in range(int(0.9 * RATE))]
    write_wav("sounds/door.wav", creak)
    rnd = random.Random(3)
    write_wav("sounds/chest.wav", [rnd.uniform(-0.5, 0.5) * math.exp(-8 * i / RATE) for i in range(int(0.4 * RATE))])
    write_wav("sounds/lamp.wav", tone(1320, 0.15, 0.4, 20) + tone(1760, 0.1, 0.3, 25))
    meow = [0.5 * math.sin(2 * math.pi * (500 + 300 * math.sin(math.pi * i / (0.5 * RATE))) * i / RATE) *
            math.sin(math.pi * i / (0.5 * RATE)) for i in range(int(0.5 * RATE))]
    write_wav("sounds/meow.wav", meow)
    write_wav("sounds/fanfare.wav", tone(523, 0.2) + tone(659, 0.2) + tone(784, 0.5, 0.6, 2))


def song():
    # A slow minor tune over a drone, two bars repeated; encoded to OGG.
    notes = [57, 60, 64, 62, 60, 59, 57, 52, 57, 60, 64, 67, 65, 64, 62, 64]
    out = []
    for n in notes:
        f = 440 * 2 ** ((n - 69) / 12)
        secs = 0.35
        for i in range(int(secs * RATE)):
            t = i / RATE
            out.append(0.35 * math.sin(2 * math.pi * f * t) * math.exp(-2.5 * t) +
                       0.12 * math.sin(2 * math.pi * 110 * (len(out) / RATE)))
    wav = os.path.join(GAME, "music/theme.wav")
    write_wav("music/theme.wav", out)
    subprocess.run(["oggenc", "-Q", "-q", "0", "--serial", "1", "-o", os.path.join(GAME, "music/theme.ogg"), wav], check=True)
    os.remove(wav)


if __name__ == "__main__":
    for d in ("pics", "maps", "fonts", "sounds", "music"):
        os.makedirs(os.path.join(GAME, d), exist_ok=True)
    backdrop()
    darkness()
    tileset()
    mapfile()
    garden_tiles()
    garden_map()
    cat_frames()
    chest_open()
    door_open()
    lamp_light()
    key_icon()
    arrows()
    title_card()
    font()
    verb_labels()
    radio_buttons()
    sounds()
    song()
