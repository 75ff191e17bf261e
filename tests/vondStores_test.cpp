// Shared store entries: a picture, map or font loaded again into the same
// number is released once nothing can draw it any more, so reloading keeps
// memory flat; and everything that still draws a replaced resource (a tile its
// cut image, a layer its map, a text window its font, a picture window its
// copy) keeps drawing it, while layers, sprites and buttons showing image n
// show the new picture n at the next frame. The tests run under
// AddressSanitizer: a draw from a released surface would stop them.
#include "KAV_Font.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"
#include "vondTestPictures.h"

#include <functional>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer's runtime (GCC installs no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

constexpr Uint32 RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, YELLOW = 0xFFFF00,
                 WHITE = 0xFFFFFF, CYAN = 0x00FFFF;

// Bytes the program has allocated and not freed.
long liveHeapBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    struct mallinfo2 m = mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd);
#endif
}

// The picture of makeFontPicture with every glyph in one colour.
SDL_Surface* oneColourFontPicture(Uint32 rgb) {
    SDL_Surface* s = makeFontPicture();
    for (int g = 1; g < 128; ++g) {
        SDL_Rect cell = newRect(g % 16 * 16 + 1, g / 16 * 16 + 1, 14, 14);
        SDL_FillRect(s, &cell, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    return s;
}

// The scene is built by the engine's script functions on gfx and composed onto
// the display, as the game's frame loop does.
class SharedStores : public SceneTest, protected ScriptedEngine {
  protected:
    void TearDown() override {
        gfx.DestroyAll();
        vondStoreFont(0, nullptr);
        SceneTest::TearDown();
    }
    void frame() {
        gfx.Update(16);
        gfx.Compose(screen);
    }
    Uint32 at(int x, int y) { return pixelRGB(screen, x, y); }
    // A w x h BMP of one colour; returns its path.
    std::string picture(const std::string& name, Uint32 rgb, int w = 64, int h = 48) {
        writeSheet(dir.file(name), w, h, {rgb});
        return dir.file(name);
    }
    std::string fontPicture(const std::string& name, SDL_Surface* made) {
        writeBMP(made, dir.file(name));
        return dir.file(name);
    }
    // A 20 x 15 map `number` with tileset 0 cut from a picture of the two
    // colours, tile 0 and tile 1 alternating from cell (0, 0).
    std::string chequeredMap(const std::string& name, int number, Uint32 first, Uint32 second,
                             int sheetW = 64, int sheetH = 32) {
        writeSheet(dir.file(name + ".bmp"), sheetW, sheetH, {first, second});
        dir.write(name, mapText(0, dir.file(name + ".bmp"), number, 20, 15, 0,
                                [](int x, int y) { return (x + y) % 2; }));
        return dir.file(name);
    }
    // Live heap growth between the 10th and the 1,000th of 1,000 reloads,
    // each followed by a frame.
    long growthOver1000Reloads(const std::function<void(int)>& reload) {
        long after10 = 0;
        for (int i = 0; i < 1000; ++i) {
            reload(i);
            frame();
            if (i == 9) after10 = liveHeapBytes();
        }
        return liveHeapBytes() - after10;
    }
    SDL_Surface* screen = displaySurface();
};

constexpr long FEW_MIB = 3L << 20;

TEST_F(SharedStores, ThousandReloadsOfOnePictureKeepMemoryFlat) {
    const std::string pictures[2] = {picture("red.bmp", RED, 640, 480),
                                     picture("blue.bmp", BLUE, 640, 480)};
    run("setLayerProperty(0, 0, 0) setLayerPic(0, 5) toggleLayer(0)");
    run("addImage(6, '" + pictures[0] + "')");
    long before = liveHeapBytes();
    run("addImage(7, '" + pictures[0] + "')");
    EXPECT_GT(liveHeapBytes() - before, 640L * 480 * 3 * 9 / 10) << "the meter sees a picture";
    long growth =
        growthOver1000Reloads([&](int i) { run("addImage(5, '" + pictures[i % 2] + "')"); });
    EXPECT_LT(growth, FEW_MIB);
    EXPECT_EQ(at(320, 240), BLUE);
}

TEST_F(SharedStores, ThousandReloadsOfOneMapKeepMemoryFlat) {
    // Tilesets of 512 x 256 pixels: 128 tiles each.
    const std::string maps[2] = {chequeredMap("a.map", 1, RED, GREEN, 512, 256),
                                 chequeredMap("b.map", 1, BLUE, YELLOW, 512, 256)};
    run("setLayerProperty(0, 1, 0) toggleLayer(0)");
    // A room change: the map is loaded again and the layer set to it.
    long growth = growthOver1000Reloads(
        [&](int i) { run("loadMap(1, '" + maps[i % 2] + "') setTilemap(0, 1)"); });
    EXPECT_LT(growth, FEW_MIB);
    EXPECT_TRUE(at(5, 5) == BLUE && at(37, 5) == YELLOW);
}

TEST_F(SharedStores, ThousandReloadsOfOneFontKeepMemoryFlat) {
    // Pictures of 512 x 192 pixels, as a font with larger sheets would have.
    auto wide = [](Uint32 rgb) {
        SDL_Surface* s = KAV_NewSurface(0, 512, 192);
        SDL_Surface* glyphs = oneColourFontPicture(rgb);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
        SDL_Rect to = newRect(0, 0, 0, 0);
        SDL_BlitSurface(glyphs, nullptr, s, &to);
        SDL_FreeSurface(glyphs);
        return s;
    };
    const std::string fonts[2] = {fontPicture("f0.bmp", wide(RED)),
                                  fontPicture("f1.bmp", wide(GREEN))};
    run("addString(1, 'Hello')");
    // A scene change: a new font, and the scene's text window made again.
    long growth = growthOver1000Reloads([&](int i) {
        run("addFont(0, '" + fonts[i % 2] + "') delWin(1) newTxtWin(1, 0, 0, 200, 60, 1)");
    });
    EXPECT_LT(growth, FEW_MIB);
    EXPECT_EQ(at(24, 24), GREEN);
}

// Loading over a tile's image number leaves the tile its cut image; a new map
// file cutting the same tileset leaves earlier maps their tileset; a layer
// keeps its map when loadMap replaces that number. Once the layer takes the
// new map, nothing holds the old tiles and they are released.
TEST_F(SharedStores, TilesKeepTheirImagesAndLayersTheirMapUntilTheyTakeTheNewOne) {
    run("loadMap(1, '" + chequeredMap("a.map", 1, RED, GREEN) + "')");
    run("setLayerProperty(0, 1, 0) setTilemap(0, 1) toggleLayer(0)");
    // Each change moves the layer's pointer (to where it was), so that its
    // raster is painted again from the tiles.
    auto repaint = [&] {
        run("setLPointer(0, 0, 0, 0, 0)");
        frame();
    };
    repaint();
    ASSERT_TRUE(at(5, 5) == RED && at(37, 5) == GREEN);
    vondRef<SDL_Surface> redTile = vondImageStore[0]; // held by the test as well

    run("addImage(0, '" + picture("white.bmp", WHITE) + "')");
    repaint();
    EXPECT_TRUE(at(5, 5) == RED && at(37, 5) == GREEN) << "the tile draws its cut image";

    run("loadMap(2, '" + chequeredMap("b.map", 2, BLUE, YELLOW) + "')"); // tileset 0 again
    repaint();
    EXPECT_TRUE(at(5, 5) == RED && at(37, 5) == GREEN) << "map 1 keeps its tileset";

    run("loadMap(1, '" + dir.file("b.map") + "')");
    repaint();
    EXPECT_TRUE(at(5, 5) == RED && at(37, 5) == GREEN) << "the layer keeps its map";
    EXPECT_EQ(redTile.get()->refcount, 2) << "the old tile record and the test";

    run("setTilemap(0, 1)");
    repaint();
    EXPECT_TRUE(at(5, 5) == BLUE && at(37, 5) == YELLOW);
    EXPECT_EQ(redTile.get()->refcount, 1) << "only the test holds the old tile image";
}

// Layers, sprites and radio buttons look image n up at every frame; a picture
// window drew its own copy when it was made and holds nothing of the store.
TEST_F(SharedStores, PictureWindowsKeepTheirCopyWhileOtherUsersShowTheNewPicture) {
    run("addImage(5, '" + picture("red.bmp", RED) + "')");
    run("setLayerProperty(0, 0, 0) setLayerPic(0, 5) toggleLayer(0)");
    run("addSprite(1, 0, 1, 5) placeSprite(1, 1, 10, 0, 0, 0) toggleSLayer(1)");
    run("newRadButton(2, 400, 300, 100, 100) setRadButtons(2, 1, 5, 5, 0, 0)");
    run("newPicWin(1, 100, 100, 5)");
    frame();
    ASSERT_TRUE(at(5, 5) == RED && at(325, 5) == RED && at(405, 305) == RED && at(105, 105) == RED);
    vondRef<SDL_Surface> red = vondImageStore[5];

    run("addImage(5, '" + picture("blue.bmp", BLUE) + "')");
    frame();
    EXPECT_TRUE(at(5, 5) == BLUE && at(325, 5) == BLUE && at(405, 305) == BLUE);
    EXPECT_EQ(at(105, 105), RED) << "the window's own copy";
    EXPECT_EQ(red.get()->refcount, 1) << "nothing but the test holds the old picture";
}

// A text window keeps the font it took when addFont replaces font 0; that
// font still finds its picture by number, so text drawn later comes from the
// new picture.
TEST_F(SharedStores, TextWindowsKeepTheFontTheyTookAfterAddFontReplacesIt) {
    run("addFont(0, '" + fontPicture("a.bmp", makeFontPicture()) + "')");
    run("addString(1, 'AB') newTxtWin(1, 0, 0, 200, 80, 1)");
    frame();
    ASSERT_EQ(at(24, 24), glyphRGBOf('A'));
    vondRef<KAV_Font> took = vondFontStore[0];

    run("addFont(0, '" + fontPicture("b.bmp", oneColourFontPicture(CYAN)) + "')");
    frame();
    EXPECT_EQ(at(24, 24), glyphRGBOf('A')) << "nothing changed that the window shows";
    EXPECT_EQ(took->references, 2) << "held by the window and the test";
    run("setTxtString(1, 'BA')");
    frame();
    EXPECT_TRUE(at(24, 24) == CYAN && at(40, 24) == CYAN);
    run("delWin(1)");
    EXPECT_EQ(took->references, 1);
}

// A picture loaded after another was released may be given the released one's
// address. Storing the same surface again with new pixels is that case made
// certain: what layers, sprite layers and text windows worked out about the old
// picture must not be taken for the new one.
TEST_F(SharedStores, CachesDoNotTakeAPictureAtAReleasedOnesAddressForIt) {
    SDL_Surface* backdrop = solidSurface(640, 480, 255, 0, 0);
    SDL_Surface* sprite = solidSurface(32, 32, 0, 255, 0);
    SDL_Surface* glyphs = makeFontPicture();
    KAV_StoreImage(5, vondRef<SDL_Surface>::share(backdrop));
    KAV_StoreImage(7, vondRef<SDL_Surface>::share(sprite));
    KAV_StoreImage(VOND_FONT_IMAGE_BASE, vondRef<SDL_Surface>::share(glyphs));
    vondStoreFont(0, new KAV_Font(VOND_FONT_IMAGE_BASE));
    run("setLayerProperty(0, 0, 0) setLayerPic(0, 5) toggleLayer(0)");
    run("addSprite(1, 0, 1, 7) placeSprite(1, 1, 2, 2, 0, 0) toggleSLayer(1)");
    run("addString(1, 'AB') newTxtWin(1, 300, 0, 200, 80, 1) setWinFlags(1, 16)");
    frame(), frame(); // 'A' revealed
    ASSERT_TRUE(at(5, 5) == RED && at(64, 64) == GREEN && at(324, 24) == glyphRGBOf('A') &&
                at(340, 24) == 0);

    SDL_FillRect(backdrop, nullptr, SDL_MapRGB(backdrop->format, 0, 0, 255));
    SDL_Rect corner = newRect(0, 0, 8, 8); // in the sprite layers' key colour
    SDL_FillRect(sprite, &corner, SDL_MapRGB(sprite->format, 251, 3, 248));
    SDL_Rect letterA = newRect(33 % 16 * 16 + 1, 33 / 16 * 16 + 1, 14, 14);
    SDL_FillRect(glyphs, &letterA, SDL_MapRGB(glyphs->format, 0, 255, 255));
    KAV_StoreImage(5, vondRef<SDL_Surface>(backdrop));
    KAV_StoreImage(7, vondRef<SDL_Surface>(sprite));
    KAV_StoreImage(VOND_FONT_IMAGE_BASE, vondRef<SDL_Surface>(glyphs));
    frame(), frame(); // 'B' revealed
    EXPECT_EQ(at(5, 5), BLUE) << "the layer paints the new picture";
    EXPECT_TRUE(at(64, 64) == BLUE && at(71, 71) == BLUE && at(72, 72) == GREEN)
        << "the new frame's key-coloured corner is see-through";
    EXPECT_TRUE(at(324, 24) == CYAN && at(340, 24) == glyphRGBOf('B'))
        << "the window draws its text again from the new picture";
}

} // namespace
