// Sprite layers of the engine: slots, templates, moves with carry and wrap,
// and whole frames composed from tile layers and sprite layers.
#include "KAV_Sprite.h"
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

class SpriteLayers : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        gfx.DestroyAll();
    }
    void TearDown() override {
        gfx.DestroyAll();
        SceneTest::TearDown();
    }
    // A template of `count` frames starting at image firstImage.
    void addTemplate(int id, unsigned flags, int count = 1, unsigned firstImage = 100) {
        auto* frames = new unsigned[count];
        for (int i = 0; i < count; ++i)
            frames[i] = firstImage + i;
        gfx.addSprite(new KAV_Sprite(static_cast<unsigned char>(id), count, flags, frames));
    }
    void expectAt(int slot, int L, int x, int y, int xo, int yo) {
        KAV_Sprite* s = gfx.getSprite(static_cast<unsigned char>(slot), L);
        ASSERT_NE(s, nullptr);
        int px, py, ox, oy;
        s->getPos(px, py);
        s->getOffset(ox, oy);
        EXPECT_EQ(px, x);
        EXPECT_EQ(py, y);
        EXPECT_EQ(ox, xo);
        EXPECT_EQ(oy, yo);
    }
};

TEST_F(SpriteLayers, PlacementTakesTheLowestFreeSlotOfTheFirstMatchingTemplate) {
    addTemplate(17, 1);
    addTemplate(17, 0); // same identifier, registered later: never used
    EXPECT_EQ(gfx.placeSprite(17, 2, 1, 1, 0, 0), 0);
    EXPECT_EQ(gfx.placeSprite(17, 2, 2, 2, 0, 0), 1);
    EXPECT_EQ(gfx.placeSprite(17, 2, 3, 3, 0, 0), 2);
    EXPECT_EQ(gfx.placeSprite(17, 3, 4, 4, 0, 0), 0); // slots are per layer
    gfx.delSprite(1, 2);
    EXPECT_EQ(gfx.getSprite(1, 2), nullptr);
    gfx.delSprite(1, 2); // deleting an empty slot does nothing
    EXPECT_EQ(gfx.placeSprite(17, 2, 5, 6, 7, 8), 1);
    expectAt(1, 2, 5, 6, 7, 8);
    EXPECT_EQ(gfx.getSprite(1, 2)->getID(), 1);
    EXPECT_EQ(gfx.getSprite(1, 2)->getFlags(), 1u);
    size_t before = logLines().size();
    EXPECT_EQ(gfx.placeSprite(18, 2, 0, 0, 0, 0), 0); // no such template: nothing, silently
    EXPECT_EQ(gfx.placeSprite(17 + 256, 2, 0, 0, 0, 0), 0);
    EXPECT_EQ(logLines().size(), before);
    // Layers outside 1..4 are refused without touching a table.
    EXPECT_EQ(gfx.placeSprite(17, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(gfx.placeSprite(17, 5, 0, 0, 0, 0), 0);
    EXPECT_EQ(gfx.getSprite(0, 0), nullptr);
    EXPECT_EQ(gfx.getSprite(0, -3), nullptr);
    gfx.delSprite(0, 9);

    std::vector<std::string> l = logLines();
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[0], "New Sprite ID: 17 with flags: 1");
    EXPECT_EQ(l[1], "New Sprite ID: 17 with flags: 0");
    EXPECT_EQ(l[2], "Sprite: 17 flags: 1");
    EXPECT_EQ(l[3], "Placing sprite: 0 with flags: 1");
}

TEST_F(SpriteLayers, MovesCarryPixelOffsetsOnceAndWrapOnlyOnWrappingTilemapLayers) {
    addTemplate(20, 0);
    gfx.placeSprite(20, 1, 4, 4, 10, 10);
    gfx.moveSprite(0, 1, 0, 0, -10, 0);
    expectAt(0, 1, 3, 4, 32, 10); // offset 0 is carried to 32 of the tile before
    gfx.placeSprite(20, 1, 4, 4, 10, 10);
    gfx.moveSprite(1, 1, 0, 0, 22, 0);
    expectAt(1, 1, 4, 4, 32, 10); // 32 stays on its own tile
    gfx.placeSprite(20, 1, 4, 4, 10, 10);
    gfx.moveSprite(2, 1, 2, -1, 23, 1);
    expectAt(2, 1, 7, 3, 1, 11);

    // Picture mode: no wrap, tiles may go negative.
    gfx.moveSprite(2, 1, -20, 0, 0, 0);
    expectAt(2, 1, -13, 3, 1, 11);

    makeMap(1, 20, 15, 1, [](int, int) { return 0; });
    gfx.setLayerProperty(0, KAV_LAYER_TILEMAP, 0);
    gfx.SetTileMap(0, 1);
    gfx.placeSprite(20, 1, 19, 0, 8, 8);
    gfx.moveSprite(3, 1, 1, 0, 0, -10);
    expectAt(3, 1, 0, 14, 8, 30);
    gfx.moveSprite(3, 1, -41, 0, 0, 0);
    expectAt(3, 1, 19, 14, 8, 30);

    KAV_TilemapStore[1]->setFlags(KAV_Tilemap::BLACK_EDGE); // no wrap any more
    gfx.moveSprite(3, 1, 5, 0, 0, 0);
    expectAt(3, 1, 24, 14, 8, 30);

    int moves = 0;
    for (const std::string& line : logLines())
        moves += line == "In move sprite function!";
    EXPECT_EQ(moves, 7);
}

TEST_F(SpriteLayers, FrameStacksTileAndSpriteLayersAndSpritesScrollWithTheirTileLayer) {
    makeMap(1, 30, 20, 0, [](int, int) { return 0; });       // all red
    vondImageStore[100] = solidSurface(8, 8, 0, 255, 0);     // green
    vondImageStore[101] = solidSurface(8, 8, 0, 0, 255);     // blue
    vondImageStore[102] = solidSurface(16, 16, 255, 255, 0); // yellow picture
    vondImageStore[103] = solidSurface(4, 4, 255, 255, 255); // white
    addTemplate(30, 0, 1, 100);
    addTemplate(31, 0, 1, 101);
    addTemplate(32, 0, 1, 103);

    gfx.setLayerProperty(0, KAV_LAYER_TILEMAP, 0);
    gfx.SetTileMap(0, 1);
    gfx.toggleLayer(0, true);
    gfx.toggleSLayer(1, true);
    EXPECT_EQ(gfx.placeSprite(30, 1, 3, 2, 0, 0), 0);
    EXPECT_EQ(gfx.placeSprite(31, 1, 3, 2, 4, 0), 1);

    SDL_Surface* frame = solidSurface(640, 480, 9, 9, 9);
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 95, 64), 0xFF0000u);
    EXPECT_EQ(pixelRGB(frame, 96, 64), 0x00FF00u);
    EXPECT_EQ(pixelRGB(frame, 100, 64), 0x0000FFu); // the higher slot is drawn over the lower
    EXPECT_EQ(pixelRGB(frame, 107, 71), 0x0000FFu);

    // Tile layer 1 covers sprite layer 1; sprite layer 2 lies above tile layer 1.
    gfx.setLayerProperty(1, KAV_LAYER_PICTURE, 1);
    gfx.LoadBGLayer(1, 102);
    gfx.SetLPointer(1, -3, -2, 0, 0); // picture at (96, 64)
    gfx.toggleLayer(1, true);
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 100, 64), 0xFFFF00u);
    EXPECT_EQ(pixelRGB(frame, 112, 64), 0xFF0000u); // beside the picture the lower layers show
    gfx.toggleSLayer(2, true);
    EXPECT_EQ(gfx.placeSprite(32, 2, 0, 0, 100, 64), 0); // drawn in tile layer 1's coordinates
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 100 + 96, 64 + 64), 0xFFFFFFu);
    EXPECT_EQ(pixelRGB(frame, 100, 64), 0xFFFF00u);
    gfx.toggleLayer(1, false);
    gfx.toggleSLayer(2, false);

    // Scrolling tile layer 0 by one tile and eight pixels carries its sprites along.
    gfx.SetLPointer(0, 1, 0, -8, 0);
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 55, 64), 0xFF0000u);
    EXPECT_EQ(pixelRGB(frame, 56, 64), 0x00FF00u);
    EXPECT_EQ(pixelRGB(frame, 60, 64), 0x0000FFu);
    EXPECT_EQ(pixelRGB(frame, 96, 64), 0xFF0000u);

    // Hidden sprite layer: not drawn; hidden tile layer: the black screen shows.
    gfx.toggleSLayer(1);
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 60, 64), 0xFF0000u);
    gfx.toggleSLayer(5); // 5 addresses sprite layer 1 again
    gfx.toggleLayer(4);  // and 4 tile layer 0
    gfx.Compose(frame);
    EXPECT_EQ(pixelRGB(frame, 60, 64), 0x0000FFu);
    EXPECT_EQ(pixelRGB(frame, 20, 20), 0u);
    SDL_FreeSurface(frame);
}

TEST_F(SpriteLayers, OnlySpritesOnShownLayersAreAnimated) {
    addTemplate(40, 0, 2, 100);
    gfx.placeSprite(40, 3, 0, 0, 0, 0);
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 0);
    gfx.toggleSLayer(3, true);
    gfx.Update(30);
    EXPECT_EQ(gfx.getSprite(0, 3)->getFrame(), 1);
    gfx.DestroyAll();
    EXPECT_EQ(gfx.getSprite(0, 3), nullptr);
    EXPECT_EQ(gfx.placeSprite(40, 3, 0, 0, 0, 0), 0); // templates survive DestroyAll
}

} // namespace
