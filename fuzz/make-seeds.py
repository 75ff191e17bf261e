#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets that need made-up files.

The Lua 4.0 targets take their seeds from tests/lua40 and game/scripts as
they are; the others get small files here, drawn from what the tests use:
the map file of the tilemap tests, save files of the state-machine tests,
one small picture in every format SDL_image reads here (made with ImageMagick
where it writes the format, by hand where it does not), and call lists for
the script-argument target taken from the scene and state-machine tests.
Run from the repository root: python3 fuzz/make-seeds.py
"""
import os
import struct
import subprocess
import tempfile

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


# Map files: the example of the tilemap tests and its edge modes. The tileset
# picture is tiles.bmp, which the fuzzer's scratch folder holds.
def cell(x, y, tile, collide, attribute):
    return f"{x} {y}\ntile {tile}\ncollide {collide}\nattribute {attribute}\n"


for attribute in (1, 2, 3):
    put("fuzz_map", f"example-{attribute}.map",
        "KAVMAP1\nTILESET\nid 0\nimage tiles.bmp\nkey 255 0 255\nMAP\nid 1\nwidth 2\n"
        "height 2\ncells\n" + cell(0, 0, 0, 0, attribute) + cell(1, 0, 1, 1, 0) +
        cell(0, 1, -1, 0, 0) + cell(1, 1, 3, 0, 0) + "\n")
put("fuzz_map", "two-sections.map",
    "KAVMAP1\r\nTILESET\r\nid 3\r\nimage tiles.bmp\r\nkey 0 0 0\r\nMAP\r\nid 7\r\nwidth 3\r\n"
    "height 1\r\ncells\r\n" + cell(2, 0, 2, 1, 0).replace("\n", "\r\n") + "\r\nMAP\r\nid 8\r\n"
    "width 1\r\nheight 1\r\ncells\r\n" + cell(0, 0, 1, 0, 1).replace("\n", "\r\n"))

# Save files: what the state-machine tests save and load.
put("fuzz_saveload", "events.txt",
    "m=\nm.door=\nm.door.0.chainedEvents=1\nm.door.0.0.chainedEvents=0\n"
    "m.door.0.0.eventType=1\nm.door.0.0.valueToFireOn=\nm.door.0.0.isOneShot=1\n"
    "m.door.0.0.argNum=3\nm.door.0.0.argument.0=n.x\nm.door.0.0.argument.1=/\n"
    "m.door.0.0.argument.2=2\nn=\nn.x=a=b\n")
put("fuzz_saveload", "crlf.txt",
    "g=root\r\ng.a=1\r\ng.b=go\r\n\r\nnonet.door=open\r\ng.c=12\r\ng.a=1")
put("fuzz_saveload", "cascade.txt", "g.a=1\ng.c=7\ng=\ng.c=14\ng.b=go\nx=y=z\n=v\nplain\n")

# Pictures: the first byte picks the extension (see fuzz_image.cpp).
EXTENSIONS = ["png", "bmp", "gif", "tga", "jpg", "pcx", "lbm", "pnm", "tif", "xcf", "xpm",
              "xv", "webp", "ico", "cur", "TGA"]
with tempfile.TemporaryDirectory() as tmp:
    source = os.path.join(tmp, "source.png")
    subprocess.run(["/usr/bin/convert", "-size", "12x8", "xc:red", "-fill", "blue", "-draw",
                    "rectangle 2,2,6,5", "-fill", "#00FF0080", "-draw", "point 9,1", source],
                   check=True)
    made = [("png", "png", []), ("bmp", "bmp", []), ("gif", "gif", []), ("tga", "tga", []),
            ("jpg", "jpg", ["-quality", "50"]), ("pcx", "pcx", []), ("pnm", "ppm", []),
            ("pnm", "pgm", []), ("pnm", "pbm", []), ("tif", "tif", []), ("xpm", "xpm", []),
            ("webp", "webp", []), ("ico", "ico", []), ("png", "png8", []),
            ("bmp", "bmp3", []), ("tga", "tga", ["-compress", "RLE"]),
            ("gif", "gif", ["-interlace", "GIF"])]
    for n, (ext, fmt, options) in enumerate(made):
        out = os.path.join(tmp, f"seed{n}.{fmt}")
        subprocess.run(["/usr/bin/convert", source] + options +
                       [f"{fmt.upper()}:{out}" if fmt.startswith(("png8", "bmp3")) else out],
                       check=True)
        with open(out, "rb") as f:
            put("fuzz_image", f"{fmt}-{n}", bytes([EXTENSIONS.index(ext)]) + f.read())
# By hand: an XV thumbnail (P7 332), a chunky ILBM (PBM), an icon as a cursor,
# and the truncated GIF that made SDL_image spin.
put("fuzz_image", "xv", bytes([EXTENSIONS.index("xv")]) +
    b"P7 332\n#END_OF_COMMENTS\n4 2 255\n" + bytes(range(8)))
bmhd = struct.pack(">HHhhBBBBHBBhh", 4, 2, 0, 0, 8, 0, 0, 0, 0, 1, 1, 4, 2)
cmap = bytes([255, 0, 0, 0, 255, 0, 0, 0, 255])
body = bytes([0, 1, 2, 1, 2, 1, 0, 0])
iff = b"BMHD" + struct.pack(">I", len(bmhd)) + bmhd + b"CMAP" + struct.pack(">I", len(cmap)) + \
    cmap + b"BODY" + struct.pack(">I", len(body)) + body
put("fuzz_image", "lbm", bytes([EXTENSIONS.index("lbm")]) + b"FORM" +
    struct.pack(">I", len(iff) + 4) + b"PBM " + iff)
with open(os.path.join(CORPUS, "fuzz_image", "ico-12"), "rb") as f:
    ico = bytearray(f.read()[1:])
ico[2] = 2  # type 2: a cursor
put("fuzz_image", "cur", bytes([EXTENSIONS.index("cur")]) + bytes(ico))
put("fuzz_image", "truncated-gif", bytes([EXTENSIONS.index("gif")]) +
    b"GIF89a\x0a\x00\x0a\x00\x00\x00\x00!\xf9")


# Call lists for fuzz_script_args: a draw flag, then per call the function's
# index, the argument count and the tagged arguments (see pushArg there).
FUNCTIONS = ["addImage", "addFont", "addSprite", "loadMap", "setBlackEdge", "setWrap",
             "setBlank", "setLayerProperty", "setTilemap", "setLPointer", "toggleLayer",
             "toggleSLayer", "placeSprite", "MoveLPointer", "addString", "newTxtWin",
             "newPicWin", "setTxtString", "setTxtBD", "setWinFlags", "winToggleHid",
             "getLayerX", "getLayerY", "moveWinBy", "addTimedEvent", "delTimedEvent",
             "DestroyAll", "errorMsg", "delWin", "loadSong", "playSong", "loadSound",
             "playSound", "stopMusic", "newClickH", "delClickH", "getSpriteX", "getSpriteY",
             "delSprite", "moveSprite", "setLayerPic", "winTimedMove", "newRadButton",
             "setRadButtons", "sm_createNetwork", "sm_removeNetwork", "sm_createNode",
             "sm_removeNode", "sm_getNode", "sm_putNode", "sm_traceOut", "sm_attachEvent",
             "sm_createEvent", "sm_chainEvent", "sm_save", "sm_load"]
STRINGS = ["pic.bmp", "tiles.bmp", "font.bmp", "map.txt", "sound.wav", "missing.png",
           "save.txt", "", "g", "g.a", "g.a.b", "g.b", "open", "tracemessage", "modifynode",
           "none", "createwindow", "=", "+", "-", "*", "/", "true", "false", "x=y", "a\nb",
           "1", "-1", "2147483648", "0x10", " 12", "1e999", "nan", "Click!", "x = 1", "..",
           ".", "a", "b"]


def num(n):
    if -128 <= n <= 127 and n == int(n):
        return bytes([3, n & 0xFF])
    return bytes([4]) + struct.pack("<d", n)


def text(s):
    return bytes([5, STRINGS.index(s)])


def call(name, *args):
    return bytes([FUNCTIONS.index(name), len(args)]) + b"".join(
        num(a) if isinstance(a, (int, float)) else text(a) for a in args)


scenes = {
    "scene": [call("addImage", 1, "pic.bmp"), call("loadMap", 2, "map.txt"),
              call("setLayerProperty", 0, 1, 1), call("setTilemap", 0, 2),
              call("setLayerProperty", 1, 0, 2), call("setLayerPic", 1, 1),
              call("setLPointer", 0, 1, 1, 5, 7), call("MoveLPointer", 0, -3, 2, 40, -40),
              call("setWrap", 2, 1), call("getLayerX", 0), call("toggleLayer", 1)],
    "sprites": [call("addImage", 3, "pic.bmp"), call("addSprite", 7, 1, 2, 3, 3),
                call("placeSprite", 7, 2, 3, 4, 5, 6), call("moveSprite", 0, 2, 1, 1, 40, 40),
                call("getSpriteX", 0, 2), call("delSprite", 0, 2), call("toggleSLayer", 2)],
    "windows": [call("addFont", 0, "font.bmp"), call("addString", 1, "Click!"),
                call("newTxtWin", 4, 10, 10, 100, 40, 1), call("setWinFlags", 4, 16),
                call("setTxtString", 4, "x = 1"), call("setTxtBD", 4, 255),
                call("addImage", 2, "pic.bmp"), call("newPicWin", 5, 50, 50, 2),
                call("winTimedMove", 5, 100, 20, 300, 300), call("moveWinBy", 4, -20, 5),
                call("newRadButton", 6, 0, 0, 64, 64), call("setRadButtons", 6, 2, 2, 2, 0, 0,
                                                             20, 20),
                call("winToggleHid", 4), call("delWin", 5)],
    "events": [call("addTimedEvent", 1, 0, 1, 10, "x = 1"), call("newClickH", 0, 0, 9, 9, 3,
                                                                    "x = 1"),
               call("delClickH", 3), call("delTimedEvent", 1), call("loadSound", 0, "sound.wav"),
               call("playSound", 0, -1, 0), call("loadSong", 1, "sound.wav"),
               call("playSong", 1, -1), call("stopMusic"), call("errorMsg", "Click!"),
               call("DestroyAll")],
    "statemachine": [call("sm_createNetwork", "g"), call("sm_createNode", "g", "a"),
                     call("sm_createNode", "g.a", "b"), call("sm_putNode", "g.a", "open"),
                     call("sm_createEvent", "modifynode", "open", "g.a.b", "+", 2, "false"),
                     call("sm_createEvent", "tracemessage", 2, "x=y", "true"),
                     call("sm_chainEvent", 1, 2), call("sm_attachEvent", "g.a", 1),
                     call("sm_putNode", "g.a", "open"), call("sm_getNode", "g.a.b"),
                     call("sm_traceOut", "g"), call("sm_save", "g", "save.txt"),
                     call("sm_load", "g", "save.txt"), call("sm_removeNode", "g.a"),
                     call("sm_removeNetwork", "g")],
    # The engine's fatal errors end the input: a missing picture, a sprite moved
    # that does not exist, a picture layer drawn without its picture.
    "fatal": [call("sm_createNetwork", "g"), call("addImage", 1, "missing.png"),
              call("moveSprite", 9, 1, 1, 0, 0, 0), call("setLayerPic", 2, 77)],
}
for name, calls in scenes.items():
    for draw in (0, 1):
        put("fuzz_script_args", f"{name}-{draw}", bytes([draw]) + b"".join(calls))
