"""tools/make-font: the picture it writes and the sizes and colours it refuses.

How a text window draws the picture is checked in a real window by
tests/window/make_font_window_test.cpp.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
TOOL = os.path.join(ROOT, "tools", "make-font")
SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


class MakeFont(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.out = os.path.join(self.dir, "font.png")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_tool(self, *args):
        return subprocess.run([sys.executable, TOOL] + list(args), capture_output=True, text=True)

    def colours(self):
        r = subprocess.run(["/usr/bin/convert", self.out, "-format", "%w %h %[pixel:p{0,0}]\n",
                            "-write", "info:-", "-unique-colors", "txt:-"],
                           capture_output=True, text=True, check=True)
        head, *pixels = r.stdout.splitlines()
        return head, {line.split()[2] for line in pixels if not line.startswith("#")}

    def test_a_hard_edged_sheet_of_16_by_16_cells_on_the_key_colour_white_by_default(self):
        r = self.run_tool(SANS, "12", self.out)
        self.assertEqual(r.returncode, 0, r.stderr)
        head, colours = self.colours()
        # 16 cells of 16 pixels a row, codes 32 to 126 in six rows; the top-left
        # pixel (the blank's cell) is the key colour; two colours only.
        self.assertEqual(head, "256 96 srgb(251,3,248)")
        self.assertEqual(colours, {"#FB03F8", "#FFFFFF"})
        r = self.run_tool(SANS, "12", self.out, "--colour", "10,200,30")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(self.colours()[1], {"#FB03F8", "#0AC81E"})

    def test_what_cannot_make_a_font_is_refused_in_one_line(self):
        cases = [
            ((SANS, "20", self.out), "make-font: %s at 20 pixels: the glyphs take 18 x 21 pixels; "
                                     "a cell is 16 x 16" % SANS),
            ((os.path.join(self.dir, "none.ttf"), "12", self.out),
             "make-font: %s: no such font file" % os.path.join(self.dir, "none.ttf")),
            ((SANS, "12", self.out, "--colour", "251,3,248"),
             "make-font: the colour 251,3,248 is the key colour of the picture"),
            ((SANS, "0", self.out), "make-font: the pixel size must be at least 1"),
        ]
        for args, line in cases:
            with self.subTest(line=line):
                r = self.run_tool(*args)
                self.assertEqual((r.returncode, r.stdout, r.stderr), (1, "", line + "\n"))
                self.assertFalse(os.path.exists(self.out))
        self.assertEqual(self.run_tool(SANS, "12", self.out, "--colour", "1,2").returncode, 2)


if __name__ == "__main__":
    unittest.main()
