// A font picture made by tools/make-font from a TrueType font, loaded with
// addFont and drawn by a text window in a real window: every glyph is the one
// ImageMagick draws from the same font at the same size, pixel for pixel,
// centred in its 16 x 16 cell, all on one baseline, with nothing of the
// picture's background showing.
#include "vondWindowRun.h"

#include <algorithm>

namespace {

const char* FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
const Uint32 GLYPH = 0xF0E8C0; // the colour asked of make-font

// Ink of one character as ImageMagick draws it hard-edged: its mask and where
// its top lies below the point the text was drawn from.
struct Ink {
    int top = 0, w = 0, h = 0;
    std::vector<bool> on;
};

Ink imageMagickInk(const GameDir& dir, char c, int n) {
    std::string text(1, c);
    if (c == '%') text = "%%";
    if (c == '\\') text = "\\\\";
    if (c == '@') text = "\\@";
    std::string bmp = "ref" + std::to_string(n) + ".bmp";
    std::vector<std::string> argv = words(
        "/usr/bin/convert -size 96x96 xc:black +antialias -font " + std::string(FONT) +
        " -pointsize 15 -fill white -gravity NorthWest -annotate +32+32 TEXT -trim -format %Y "
        "-write info:top.txt +repage BMP3:" +
        bmp);
    *std::find(argv.begin(), argv.end(), "TEXT") = text;
    Ink ink;
    expectRuns(argv, dir.path());
    SDL_Surface* s = SDL_LoadBMP(dir.file(bmp).c_str());
    if (s == nullptr) return ink;
    ink.top = std::stoi(dir.read("top.txt")) - 32;
    ink.w = s->w;
    ink.h = s->h;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            ink.on.push_back(pixelRGB(s, x, y) == 0xFFFFFF);
    SDL_FreeSurface(s);
    return ink;
}

using MakeFontWindow = WindowTest;

TEST_F(MakeFontWindow, TextWindowGlyphsAreImageMagicksRenderingOfTheFontInTheirCells) {
    ASSERT_TRUE(expectRuns({"python3", std::string(VOND_SOURCE_DIR) + "/tools/make-font", FONT,
                            "15", "font.png", "--colour", "240,232,192"},
                           game.path()));
    const std::vector<std::string> text = {"Hello, Vond!", "gjpqy_|@%\\{}~"};
    // The window at (40, 40): its first cell at (56, 56).
    game.monkey("addFont(0, 'font.png')\n"
                "addString(0, 'Hello, Vond!\\ngjpqy_|@%\\\\{}~')\n"
                "newTxtWin(1, 40, 40, 560, 120, 0)\n");
    ASSERT_TRUE(start());
    Surface shot = w->screenshot();
    ASSERT_TRUE(shot);
    GameRun r = w->quit();
    EXPECT_EQ(r.log.find("not properly loaded"), std::string::npos) << r.log;

    int n = 0;
    int baseline = 0; // cell top minus ImageMagick's ink top, the same for every glyph
    bool first = true;
    for (size_t line = 0; line < text.size(); ++line) {
        for (size_t i = 0; i < text[line].size(); ++i, ++n) {
            char c = text[line][i];
            int cellX = 56 + 16 * static_cast<int>(i), cellY = 56 + 16 * static_cast<int>(line);
            // The cell as the window shows it: glyph colour on the window's black.
            int left = 16, right = -1, top = 16, bottom = -1;
            for (int y = 0; y < 16; ++y)
                for (int xx = 0; xx < 16; ++xx) {
                    Uint32 p = pixelRGB(shot, cellX + xx, cellY + y);
                    ASSERT_TRUE(p == GLYPH || p == 0)
                        << "'" << c << "' shows colour " << std::hex << p;
                    if (p != GLYPH) continue;
                    left = std::min(left, xx), right = std::max(right, xx);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            if (c == ' ') continue;
            Ink ink = imageMagickInk(game, c, n);
            ASSERT_EQ(right - left + 1, ink.w) << "'" << c << "'";
            ASSERT_EQ(bottom - top + 1, ink.h) << "'" << c << "'";
            for (int y = 0; y < ink.h; ++y)
                for (int xx = 0; xx < ink.w; ++xx)
                    EXPECT_EQ(pixelRGB(shot, cellX + left + xx, cellY + top + y) == GLYPH,
                              static_cast<bool>(ink.on[y * ink.w + xx]))
                        << "'" << c << "' at " << xx << "," << y;
            // Centred in the cell's width; one baseline for all.
            EXPECT_LE(std::abs(left - (15 - right)), 1) << "'" << c << "'";
            if (first) baseline = top - ink.top, first = false;
            EXPECT_EQ(top - ink.top, baseline) << "'" << c << "'";
        }
    }
}

} // namespace
