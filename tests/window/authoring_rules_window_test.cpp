// The picture rules of docs/authoring.md, seen in a real window: the one
// see-through colour and what pictures with an alpha channel become, picture
// layers beyond their picture, sprites left of the view, key colours of BMP
// tilesets and of tilesets replaced by a later map file, text windows too low
// for a line or made before their font, radio panels drawn while hidden, and
// every mouse button reaching the newest hotspot.
#include "vondSceneFixture.h"
#include "vondTestPictures.h"
#include "vondWindowRun.h"

namespace {

const Uint32 GREY = 0x646464, CLEAR = 0xFB03F8, MAGENTA = 0xFF00FF, WHITE = 0xFFFFFF;

// Runs ImageMagick's convert in the game directory on arguments split at '|'.
bool convert(const GameDir& game, const std::string& args) {
    return expectRuns(words("/usr/bin/convert|" + args, '|'), game.path());
}

// A 32 x 32 frame: a background colour with a white 8 x 8 centre.
void framePicture(const std::string& path, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = solidSurface(32, 32, r, g, b);
    SDL_Rect centre = newRect(12, 12, 8, 8);
    SDL_FillRect(s, &centre, SDL_MapRGB(s->format, 255, 255, 255));
    writeBMP(s, path);
}

using AuthoringRulesWindow = WindowTest;

TEST_F(AuthoringRulesWindow, TransparencyKeyColoursTextLimitsAndClicksAsTheGuideStates) {
    writeSheet(game.file("grey.bmp"), 320, 240, {GREY});
    framePicture(game.file("magenta.bmp"), 255, 0, 255);
    framePicture(game.file("clear.bmp"), 251, 3, 248);
    // Transparent background, white centre, a half-transparent red column at the left.
    const std::string cutout = "-size|32x32|xc:none|-fill|white|-draw|rectangle 12,12 19,19|";
    ASSERT_TRUE(convert(
        game, cutout + "-fill|rgba(255,0,0,0.5)|-draw|rectangle 0,0 3,31|PNG32:fringe.png"));
    ASSERT_TRUE(convert(game, cutout + "PNG32:cutout.png"));
    // Tilesets: a 24-bit BMP keyed 10 20 200; an RGBA PNG whose left half is
    // see-through by alpha and which holds a magenta square (its key colour);
    // two pictures that two map files both cut into tileset 4.
    writeSheet(game.file("bmptiles.bmp"), 32, 32, {0x00C800});
    ASSERT_TRUE(convert(game, "-size|32x32|xc:rgb(0,200,0)|-fill|magenta|-draw|"
                              "rectangle 20,8 27,15|-alpha|set|-channel|A|-fx|"
                              "i<16?0:1|+channel|PNG32:rgbatiles.png"));
    writeSheet(game.file("red.bmp"), 32, 32, {0xFF0000});
    writeSheet(game.file("blue.bmp"), 32, 32, {0x0000FF});
    auto firstCell = [](int x, int) { return x == 0 ? 0 : -2; }; // cell (1, 0) left out: empty
    game.write("bmp.map", mapText(3, "bmptiles.bmp", 5, 2, 1, 0, firstCell, "10 20 200"));
    game.write("rgba.map", mapText(2, "rgbatiles.png", 6, 2, 1, 0, firstCell));
    game.write("first.map", mapText(4, "red.bmp", 7, 2, 1, 0, firstCell));
    game.write("second.map", mapText(4, "blue.bmp", 8, 2, 1, 0, firstCell, "0 255 0"));
    writeBMP(makeFontPicture(), game.file("font.bmp"));

    game.monkey(
        "addImage(2000, 'grey.bmp') addImage(2001, 'magenta.bmp') addImage(2002, 'clear.bmp')\n"
        "addImage(2003, 'fringe.png') addImage(2004, 'cutout.png')\n"
        "setLayerProperty(0, 0, 0) setLayerPic(0, 2000) toggleLayer(0)\n"
        // Sprite layer 1 lies over tile layer 0.
        "addSprite(1, 0, 1, 2001) addSprite(2, 0, 1, 2002) addSprite(3, 0, 1, 2003)\n"
        "placeSprite(1, 1, 1, 1, 0, 0) placeSprite(2, 1, 3, 1, 0, 0) placeSprite(3, 1, 5, 1, 0, "
        "0)\n"
        "placeSprite(1, 1, -1, 3, 16, 0)\n" // left of the view's first tile: not drawn
        "toggleSLayer(1)\n"
        // Layers 1 to 3, hidden until the keys 2 to 4 show them.
        "loadMap(0, 'bmp.map') loadMap(1, 'rgba.map') loadMap(2, 'first.map') loadMap(3, "
        "'second.map')\n"
        "setLayerProperty(1, 1, 0) setTilemap(1, 0)\n"
        "setLayerProperty(2, 1, 1) setTilemap(2, 1)\n"
        "setLayerProperty(3, 1, 0) setTilemap(3, 2)\n"
        // Windows: a text window made before its font, two made after it, 40
        // and 41 pixels high; picture windows from a picture with alpha, the
        // second keyed on its top-left colour; a hidden radio panel.
        "addString(1, 'AB')\n"
        "newTxtWin(1, 340, 260, 200, 60, 1)\n"
        "addFont(0, 'font.bmp')\n"
        "newTxtWin(2, 340, 330, 200, 40, 1) newTxtWin(3, 340, 380, 200, 41, 1)\n"
        "newPicWin(10, 400, 20, 2004) newPicWin(11, 440, 20, 2004) setWinFlags(11, 16)\n"
        "newRadButton(9, 560, 20, 60, 40) setRadButtons(9, 1, 2001, 2001, 0, 0) winToggleHid(9)\n"
        "newClickH(0, 0, 100, 100, 1, \"errorMsg('older hotspot')\")\n"
        "newClickH(50, 50, 150, 150, 2, \"errorMsg('newer hotspot')\")\n"
        "errorMsg('ready')\n");

    ASSERT_TRUE(start());
    ASSERT_TRUE(w->waitForLog("ready\n"));
    // The scene, then layers 1, 2 and 3 each shown alone over it by keys 2, 3 and 4.
    Surface scene = w->screenshot();
    w->key("2");
    Surface bmpLayer = w->screenshot();
    w->key("2");
    w->key("3");
    Surface rgbaLayer = w->screenshot();
    w->key("3");
    w->key("4");
    Surface replaced = w->screenshot();
    // Every button clicks: the right button and the wheel, where two hotspots overlap.
    w->click(75, 75, 3);
    w->click(75, 75, 5);
    ASSERT_TRUE(w->waitForLog("Click at: 75,75\nTesting coordinates!75,75\n"
                              "Click handler 2 activated!\nnewer hotspot\nClick at: 75,75\n"));
    GameRun r = w->quit();
    ASSERT_TRUE(scene && bmpLayer && rgbaLayer && replaced);
    EXPECT_EQ(countOf(r.log, "Click handler 2 activated!\nnewer hotspot\n"), 2) << r.log;
    EXPECT_EQ(countOf(r.log, "older hotspot"), 0);

    // A picture layer shows the transparent colour beyond its picture.
    EXPECT_EQ(pixelRGB(scene, 10, 200), GREY);
    EXPECT_EQ(pixelRGB(scene, 330, 200), CLEAR);
    EXPECT_EQ(pixelRGB(scene, 10, 250), CLEAR);
    // Sprite frames: a magenta background shows, the transparent colour does not,
    // alpha 0 does not, and half alpha blends towards the transparent colour.
    EXPECT_EQ(pixelRGB(scene, 32 + 2, 32 + 2), MAGENTA);
    EXPECT_EQ(pixelRGB(scene, 96 + 2, 32 + 2), GREY);
    EXPECT_EQ(pixelRGB(scene, 96 + 15, 32 + 15), WHITE);
    EXPECT_EQ(pixelRGB(scene, 160 + 8, 32 + 2), GREY);
    Uint32 fringe = pixelRGB(scene, 160 + 1, 32 + 16);
    EXPECT_GE(fringe >> 16, 0xF0u) << std::hex << fringe;  // red stays
    EXPECT_GE(fringe & 0xFF, 0x70u) << std::hex << fringe; // blue comes from 251, 3, 248
    EXPECT_LE(fringe & 0xFF, 0x90u) << std::hex << fringe;
    // A sprite on tile -1 with 16 pixels of offset would reach x 0 to 15: not drawn.
    EXPECT_EQ(pixelRGB(scene, 5, 96 + 5), GREY);
    // Text windows: none before addFont(0); none 40 pixels high; a line at 41.
    Uint32 a = glyphRGBOf('A');
    EXPECT_EQ(pixelRGB(scene, 340 + 16 + 8, 260 + 16 + 8), 0u);
    EXPECT_EQ(pixelRGB(scene, 340 + 16 + 8, 330 + 16 + 8), 0u);
    EXPECT_EQ(pixelRGB(scene, 340 + 16 + 8, 380 + 16 + 8), a);
    // Picture windows copy the picture onto black; the key flag keys the top-left colour.
    EXPECT_EQ(pixelRGB(scene, 400 + 2, 20 + 2), 0u);
    EXPECT_EQ(pixelRGB(scene, 400 + 15, 20 + 15), WHITE);
    EXPECT_EQ(pixelRGB(scene, 440 + 2, 20 + 2), CLEAR);
    // The radio panel is drawn though hidden.
    EXPECT_EQ(pixelRGB(scene, 560 + 2, 20 + 2), MAGENTA);

    // Opaque layer on a 24-bit BMP tileset keyed 10 20 200: the empty cell and
    // the background show the key with red and blue swapped.
    EXPECT_EQ(pixelRGB(bmpLayer, 10, 10), 0x00C800u);
    EXPECT_EQ(pixelRGB(bmpLayer, 32 + 10, 10), 0xC8140Au);
    EXPECT_EQ(pixelRGB(bmpLayer, 300, 300), 0xC8140Au);
    // Transparent layer on an RGBA tileset: alpha 0 is black, the key colour see-through.
    EXPECT_EQ(pixelRGB(rgbaLayer, 4, 4), 0u);
    EXPECT_EQ(pixelRGB(rgbaLayer, 24, 2), 0x00C800u);
    EXPECT_EQ(pixelRGB(rgbaLayer, 24, 12), GREY);
    EXPECT_EQ(pixelRGB(rgbaLayer, 300, 200), GREY);
    // Two map files cutting tileset 4: the first map keeps its own tiles but
    // shows the second file's key colour where it has none.
    EXPECT_EQ(pixelRGB(replaced, 10, 10), 0xFF0000u);
    EXPECT_EQ(pixelRGB(replaced, 32 + 10, 10), 0x00FF00u);
}

} // namespace
