"""tools/tiled2kavmap on maps written by the Tiled editor (tests/tools/tiled,
remade by its regenerate.py): what it writes, and what it refuses.

How the engine draws the converted maps is checked in a real window by
tests/window/tiled_maps_window_test.cpp.
"""
import base64
import gzip
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
TOOL = os.path.join(ROOT, "tools", "tiled2kavmap")
MAPS = os.path.join(ROOT, "tests", "tools", "tiled")


def read_kavmap(text):
    """The parts of a KAVMAP1 file the engine uses, read by position as it reads
    them (labels are free); empty cells with nothing else set are dropped."""
    lines = text.split("\n")
    assert lines[0] == "KAVMAP1"
    value = lambda line: int(line.split()[1])
    m = {"cells": {}}
    i = 1
    while i < len(lines):
        if lines[i].startswith("TILESET"):
            m["tileset"] = value(lines[i + 1])
            m["picture"] = lines[i + 2].split()[1]
            m["key"] = tuple(int(v) for v in lines[i + 3].split()[1:4])
            i += 4
        elif lines[i].startswith("MAP"):
            m["map"], m["width"], m["height"] = (value(lines[i + k]) for k in (1, 2, 3))
            i += 5
            while lines[i]:
                x, y = (int(v) for v in lines[i].split())
                cell = tuple(value(lines[i + k]) for k in (1, 2, 3))
                if cell != (-1, 0, 0):
                    m["cells"][(x, y)] = cell
                i += 4
        else:
            i += 1
    return m


class Converter(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_tool(self, *args):
        return subprocess.run([sys.executable, TOOL] + list(args), capture_output=True,
                              text=True, cwd=self.dir)

    def convert(self, name, *options, source=MAPS):
        out = os.path.join(self.dir, "out.map")
        r = self.run_tool("--game-dir", source, *options, os.path.join(source, name), out)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r, out

    def expected(self, name, map_id=0, tileset_id=0):
        with open(os.path.join(MAPS, name)) as f:
            m = read_kavmap(f.read())
        m["map"], m["tileset"] = map_id, tileset_id
        return m

    def test_every_form_the_editor_writes_gives_the_hand_written_map(self):
        # JSON and TMX; CSV, base64 plain and zlib; tilesets in TSX, in JSON and
        # embedded; with the edge property and tile properties, and without.
        cases = [("room-csv.tmx", "room.map"), ("room-csv.json", "room.map"),
                 ("room-embedded.json", "room.map"), ("room-zlib.tmx", "room.map"),
                 ("room-zlib.json", "room.map"), ("room-base64.json", "room-plain.map")]
        for source, hand in cases:
            with self.subTest(source=source):
                r, out = self.convert(source, "--map-id", "9", "--tileset-id", "5")
                with open(out) as f:
                    text = f.read()
                self.assertEqual(read_kavmap(text), self.expected(hand, 9, 5))
                self.assertEqual(r.stdout, "%s: map 9, tileset 5 (tiles.png), layer 'Room'\n" % out)
                self.assertEqual(r.stderr, "")
                # Lines the engine reads stay within its 255 characters; the cells end
                # with an empty line and cell (0, 0), whose attribute is the edge, is first.
                self.assertTrue(all(len(line) <= 255 for line in text.split("\n")))
                self.assertTrue(text.endswith("\n\n"))
                self.assertIn("cells\n0 0\n", text)

    def test_gzip_data_gives_the_same_map(self):
        # The editor writes gzip too (a setting of the map); made here from its CSV.
        with open(os.path.join(MAPS, "room-embedded.json")) as f:
            data = json.load(f)
        layer = data["layers"][0]
        raw = struct.pack("<%dI" % len(layer["data"]), *layer["data"])
        layer.update(encoding="base64", compression="gzip",
                     data=base64.b64encode(gzip.compress(raw)).decode())
        with open(os.path.join(self.dir, "gzip.json"), "w") as f:
            json.dump(data, f)
        shutil.copy(os.path.join(MAPS, "tiles.png"), self.dir)
        # Without --map-id and --tileset-id the numbers are 0.
        r, out = self.convert("gzip.json", source=self.dir)
        with open(out) as f:
            self.assertEqual(read_kavmap(f.read()), self.expected("room.map"))

    def test_each_tile_layer_becomes_a_map_of_its_own_with_the_next_numbers(self):
        out = os.path.join(self.dir, "level.map")
        r = self.run_tool("--game-dir", MAPS, "--map-id", "3", "--tileset-id", "7",
                          os.path.join(MAPS, "two-layers.tmx"), out)
        self.assertEqual(r.returncode, 0, r.stderr)
        first, second = (os.path.join(self.dir, "level-%d.map" % k) for k in (0, 1))
        self.assertEqual(r.stdout.splitlines(),
                         ["%s: map 3, tileset 7 (tiles.png), layer 'Ground'" % first,
                          "%s: map 4, tileset 8 (marks.png), layer 'Top'" % second])
        with open(first) as f:
            self.assertEqual(read_kavmap(f.read()), self.expected("room.map", 3, 7))
        with open(second) as f:
            top = read_kavmap(f.read())
        # The marks tileset has the engine's transparent colour as its own.
        self.assertEqual((top["key"], top["picture"]), ((251, 3, 248), "marks.png"))
        # Its cells are the Top layer's alone; cell (0, 0), empty there, still
        # carries the map's edge mode.
        self.assertEqual(top["cells"], {(0, 0): (-1, 0, 1), (2, 0): (0, 0, 0), (6, 0): (1, 0, 0),
                                        (6, 1): (0, 0, 0), (2, 2): (1, 0, 0), (3, 3): (0, 0, 0),
                                        (0, 4): (1, 0, 0), (5, 4): (0, 0, 0)})

    def refusal(self, source, options=(), data=None, name="map.json"):
        """Runs the tool on a file or on changed JSON; returns its one error line."""
        if data is not None:
            source = os.path.join(self.dir, name)
            for picture in ("tiles.png", "marks.png", "room.tsx", "room.tsj"):
                shutil.copy(os.path.join(MAPS, picture), self.dir)
            with open(source, "w") as f:
                f.write(data if isinstance(data, str) else json.dumps(data))
        out = os.path.join(self.dir, "refused.map")
        r = self.run_tool("--game-dir", self.dir, *options, source, out)
        self.assertEqual(r.returncode, 1, r.stdout)
        self.assertEqual(r.stdout, "")
        self.assertFalse(os.path.exists(out))
        self.assertEqual(len(r.stderr.splitlines()), 1, r.stderr)
        self.assertTrue(r.stderr.endswith("\n"))
        return r.stderr.rstrip("\n")

    def test_what_the_engine_cannot_show_is_refused_in_one_line_naming_the_file(self):
        with open(os.path.join(MAPS, "room-embedded.json")) as f:
            room = f.read()

        def changed(change):
            data = json.loads(room)
            change(data)
            return data

        tileset = lambda d: d["tilesets"][0]
        layer = lambda d: d["layers"][0]
        mine = os.path.join(self.dir, "map.json")
        cases = [
            (os.path.join(MAPS, "flipped.tmx"), None,
             "the tile at cell (1, 1) of layer 'Room' is flipped or rotated; the engine draws "
             "tiles only as they are"),
            (os.path.join(MAPS, "small-tiles.json"), None,
             "the map's tiles are 16 x 16; the engine's tiles are 32 x 32"),
            (os.path.join(MAPS, "mixed.json"), None,
             "layer 'Room' uses tiles of two tilesets ('room' and 'marks'); a layer may use "
             "one tileset picture"),
            (mine, changed(lambda d: tileset(d).update(tilewidth=16)),
             "tileset 'room' has 16 x 32 tiles; the engine's tiles are 32 x 32"),
            (mine, changed(lambda d: tileset(d).update(spacing=1)),
             "tileset 'room' has a margin or spacing between tiles; the engine cuts the "
             "picture into 32 x 32 squares from its top-left corner"),
            (mine, changed(lambda d: d.update(orientation="isometric")),
             "the map is isometric; the engine draws orthogonal maps only"),
            (mine, changed(lambda d: d.update(infinite=True)),
             "the map is infinite; the engine's maps have a fixed size"),
            (mine, changed(lambda d: d["properties"][0].update(value="sideways")),
             "the map property edge is 'sideways'; it must be wrap, blank or black"),
            (mine, changed(lambda d: layer(d).update(encoding="base64", compression="zstd",
                                                     data="AAAA")),
             "layer 'Room' is compressed with zstd; use CSV, or base64 uncompressed, zlib or "
             "gzip"),
            (mine, changed(lambda d: layer(d)["data"].pop()),
             "layer 'Room' holds 34 tiles for its 7 x 5 cells"),
            (mine, changed(lambda d: layer(d)["data"].__setitem__(3, 600)),
             "the tile at cell (3, 0) of layer 'Room' is tile 599 of its tileset; the engine "
             "has tiles 0 to 511"),
            (mine, changed(lambda d: tileset(d).update(image="nowhere.png")),
             "tileset 'room': its picture %s does not exist" % os.path.join(self.dir,
                                                                            "nowhere.png")),
            (mine, changed(lambda d: tileset(d)["tiles"][0]["properties"][0].update(
                value="high")),
             "tile 1 of tileset 'room': its property collide is 'high'; it must be a whole "
             "number"),
            (mine, changed(lambda d: d.update(layers=[])), "the map has no tile layer"),
            (mine, "a picture, not a map", None),
            (os.path.join(self.dir, "missing.tmx"), None,
             "cannot read the map (No such file or directory)"),
        ]
        for source, data, message in cases:
            with self.subTest(message=message):
                line = self.refusal(source, data=data)
                if message is None:
                    self.assertTrue(line.startswith("tiled2kavmap: %s: not a Tiled map" % source),
                                    line)
                else:
                    self.assertEqual(line, "tiled2kavmap: %s: %s" % (source, message))
        # Numbers the engine has no room for.
        for options, message in ((("--map-id", "256"), "map number 256 is out of range (0 to 255)"),
                                 (("--tileset-id", "128"),
                                  "tileset number 128 is out of range (0 to 127)")):
            source = os.path.join(MAPS, "room-csv.json")
            self.assertEqual(self.refusal(source, options),
                             "tiled2kavmap: %s: %s" % (source, message))
        # A problem in a tileset file names that file.
        tsx = os.path.join(self.dir, "wide.tsx")
        data = json.loads(room)
        data["tilesets"] = [{"firstgid": 1, "source": "wide.tsx"}]
        with open(os.path.join(MAPS, "room.tsx")) as f:
            text = f.read()
        with open(tsx, "w") as f:
            f.write(text.replace('tilewidth="32"', 'tilewidth="24"'))
        self.assertEqual(self.refusal(mine, data=data),
                         "tiled2kavmap: %s: tileset 'room' has 24 x 32 tiles; the engine's "
                         "tiles are 32 x 32" % tsx)

    def test_a_tileset_picture_with_an_alpha_channel_is_converted_with_a_warning(self):
        for picture in ("tiles.png", "room.tsx"):
            shutil.copy(os.path.join(MAPS, picture), self.dir)
        subprocess.run(["/usr/bin/convert", os.path.join(MAPS, "tiles.png"),
                        "PNG32:" + os.path.join(self.dir, "tiles.png")], check=True)
        shutil.copy(os.path.join(MAPS, "room-csv.tmx"), self.dir)
        r = self.run_tool("room-csv.tmx", "out.map")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, "tiled2kavmap: %s: warning: tileset picture tiles.png has "
                         "an alpha channel; the engine draws its see-through pixels black: give "
                         "the tileset a transparent colour instead\n" % "room.tsx")


if __name__ == "__main__":
    unittest.main()
