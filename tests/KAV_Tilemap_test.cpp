// Tilemaps read from real map files with real PNG tilesets: the example map,
// edge modes, tileset cutting, and map files broken in every way a file can be.
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

constexpr Uint32 RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, WHITE = 0xFFFFFF;
constexpr Uint32 MAGENTA = 0xFF00FF;

class TilemapFile : public SceneTest {
  protected:
    // Writes the map text and reads it as loadMap does.
    KAV_Tilemap* read(const std::string& text, const std::string& name = "map.txt") {
        dir.write(name, text);
        maps.push_back(new KAV_Tilemap(dir.file(name).c_str()));
        return maps.back();
    }
    void TearDown() override {
        for (auto* m : maps)
            delete m;
        SceneTest::TearDown();
    }
    std::string twoTiles() { return tilesetPNG("tiles.png", 64, 32, {RED, GREEN}); }
    std::vector<KAV_Tilemap*> maps;
};

TEST_F(TilemapFile, ExampleMapRegistersTilesetAndMapAndWraps) {
    KAV_Tilemap* map = read(exampleMap(twoTiles(), 1));
    ASSERT_NE(KAV_TilesetStore[0], nullptr);
    EXPECT_EQ(KAV_TilemapStore[1], map);
    EXPECT_EQ(tileRGB(vondImageStore[0]), RED);
    EXPECT_EQ(tileRGB(vondImageStore[1]), GREEN);
    EXPECT_EQ(vondImageStore[2], nullptr);
    EXPECT_EQ(KAV_TilesetStore[0]->tiles[1].image, vondImageStore[1]);
    EXPECT_TRUE(map->isWrap());
    EXPECT_EQ(map->getWidth(), 2);
    EXPECT_EQ(map->getHeight(), 2);

    EXPECT_EQ(tileRGB(map->GetTile(0, 0).image), RED);
    EXPECT_EQ(tileRGB(map->GetTile(2, 0).image), RED);
    EXPECT_EQ(tileRGB(map->GetTile(-1, 0).image), GREEN);
    EXPECT_EQ(map->GetTile(-1, 0).number, 1);
    EXPECT_EQ(tileRGB(map->GetTile(-3, 5).image), GREEN); // far outside wraps as often as needed
    EXPECT_EQ(map->GetTile(0, 1).image, nullptr);         // empty cell: blank tile, no image
    EXPECT_EQ(map->getCollide(1, 0), 1);
    EXPECT_EQ(map->getCollide(3, 0), 1);
    EXPECT_EQ(map->getCollide(0, 0), 0);
    EXPECT_EQ(map->getCollide(1, 1), 0);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(TilemapFile, FirstCellAttributeSelectsBlackEdgeOrBlankAndSetFlagsReplacesIt) {
    KAV_Tilemap* black = read(exampleMap(twoTiles(), 3), "black.txt");
    EXPECT_TRUE(black->isBlack());
    ASSERT_NE(KAV_BLACK_TILE.image, nullptr);
    EXPECT_EQ(black->GetTile(2, 0).image, KAV_BLACK_TILE.image);
    EXPECT_EQ(tileRGB(black->GetTile(2, 0).image), 0u);
    EXPECT_EQ(tileRGB(black->GetTile(0, 0).image), RED); // row and column 0 are ordinary cells
    EXPECT_EQ(black->getCollide(2, 0), 1);
    EXPECT_EQ(black->getCollide(-1, 0), 1);

    KAV_Tilemap* blank = read(exampleMap(twoTiles(), 2), "blank.txt");
    EXPECT_TRUE(blank->isBlank());
    EXPECT_EQ(tileRGB(blank->GetTile(2, 0).image, 31, 31), MAGENTA);
    EXPECT_EQ(tileRGB(blank->GetTile(0, 1).image), MAGENTA); // the empty cell too

    blank->setFlags(0);
    EXPECT_EQ(blank->GetTile(2, 0).image, nullptr);
    EXPECT_EQ(blank->GetTile(0, 1).image, nullptr);
    blank->setFlags(KAV_Tilemap::WRAP);
    EXPECT_EQ(tileRGB(blank->GetTile(3, 1).image), GREEN);
    blank->setFlags(KAV_Tilemap::BLANK);
    EXPECT_EQ(tileRGB(blank->GetTile(3, 1).image), MAGENTA);
}

TEST_F(TilemapFile, TilesetPictureIsCutLeftToRightThenDownIntoItsImageNumbers) {
    std::string picture = tilesetPNG("four.png", 64, 64, {RED, GREEN, BLUE, WHITE});
    std::string partial = tilesetPNG("partial.png", 70, 40, {BLUE, WHITE, RED});
    KAV_Tilemap map(1, 1, 2, 0);
    map.doKAVGFX1(picture, 2, 0, 0, 0);
    EXPECT_EQ(tileRGB(vondImageStore[1024]), RED);
    EXPECT_EQ(tileRGB(vondImageStore[1025], 31, 31), GREEN);
    EXPECT_EQ(tileRGB(vondImageStore[1026]), BLUE);
    EXPECT_EQ(tileRGB(vondImageStore[1027]), WHITE);
    EXPECT_EQ(vondImageStore[1028], nullptr);
    EXPECT_EQ(KAV_TilesetStore[2]->tiles[3].number, 3);

    // 70 x 40 holds two whole tiles; the partial squares are not used.
    map.doKAVGFX1(partial, 3, 0, 0, 0);
    EXPECT_EQ(tileRGB(vondImageStore[1536]), BLUE);
    EXPECT_EQ(tileRGB(vondImageStore[1537]), WHITE);
    EXPECT_EQ(vondImageStore[1538], nullptr);
    EXPECT_EQ(KAV_TilesetStore[3]->tiles[2].image, nullptr);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(TilemapFile, UnreadableFilesLeaveAnEmptyMapThatDrawsNothingAndBlocks) {
    auto* missing = new KAV_Tilemap(dir.file("nothere.txt").c_str());
    maps.push_back(missing);
    KAV_Tilemap* trailingBlank = read("KAVMAP1 \nTILESET\n", "blank.txt");
    KAV_Tilemap* otherDigit = read("KAVMAP2\n", "two.txt");
    KAV_Tilemap* crlf =
        read("KAVMAP1\r\nMAP\r\nid 4\r\nw 1\r\nh 1\r\nc\r\n0 0\r\nt 0\r\nc 1\r\na 0\r\n");

    std::vector<std::string> l = logLines();
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0], "Unable to open tilemap: " + dir.file("nothere.txt"));
    EXPECT_EQ(l[1], "Unrecognized filetype: " + dir.file("blank.txt"));
    EXPECT_EQ(l[2], "Unrecognized filetype: " + dir.file("two.txt"));
    // CR LF line ends are read; the map has cells but no tileset to draw with.
    EXPECT_EQ(l[3], "Map file " + dir.file("map.txt") +
                        ", line 10: the map has no tileset; it draws nothing");
    for (KAV_Tilemap* empty : {missing, trailingBlank, otherDigit}) {
        EXPECT_EQ(empty->getWidth(), 0);
        EXPECT_EQ(empty->GetTile(0, 0).image, nullptr);
        EXPECT_EQ(empty->GetTile(-7, 3).image, nullptr);
        EXPECT_EQ(empty->getCollide(0, 0), 1);
    }
    EXPECT_EQ(KAV_TilemapStore[4], crlf);
    EXPECT_EQ(crlf->getCollide(0, 0), 1);
    EXPECT_EQ(crlf->GetTile(0, 0).image, nullptr);
}

TEST_F(TilemapFile, MissingTilesetPictureIsLoggedAndTheMapIsStillRead) {
    KAV_Tilemap* map = read(exampleMap(dir.file("gone.png"), 1));
    std::vector<std::string> l = logLines();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0], "Error loading tileset image: " + dir.file("gone.png"));
    EXPECT_EQ(KAV_TilesetStore[0]->keyColour, 0u);
    EXPECT_EQ(map->GetTile(1, 0).number, 0);
    EXPECT_EQ(map->GetTile(1, 0).image, nullptr);
    EXPECT_EQ(map->getCollide(1, 0), 1);
    EXPECT_TRUE(map->isWrap());
}

// Cells outside the map, tile numbers beyond 511 and bad numbers are skipped
// one by one; cells never named stay empty and free.
TEST_F(TilemapFile, BadCellEntriesAreSkippedAndUnsetCellsAreEmptyAndFree) {
    std::string text = "KAVMAP1\nTILESET\nid 0\nimage " + twoTiles() +
                       "\nkey 1 2 3\nMAP\nid 7\nwidth 3\nheight 2\ncells\n"
                       "5 0\ntile 1\ncollide 1\nattribute 0\n"
                       "-1 0\ntile 1\ncollide 1\nattribute 0\n"
                       "1 0\ntile 600\ncollide 1\nattribute 0\n"
                       "2 0\ntile 65535\ncollide 0\nattribute 0\n"
                       "2 1\ntile 1\ncollide 65536\nattribute 0\n"
                       "0 0\ntile 70000\ncollide 0\nattribute 9\n\n"
                       "some stray line\n";
    KAV_Tilemap* map = read(text);
    std::vector<std::string> l = logLines();
    std::string at = "Map file " + dir.file("map.txt") + ", line ";
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0], at + "14: cell (5, 0) lies outside the 3 x 2 map; skipped");
    EXPECT_EQ(l[1], at + "18: cell (-1, 0) lies outside the 3 x 2 map; skipped");
    EXPECT_EQ(l[2],
              at + "22: tile number 600 at cell (1, 0) is out of range; the cell is left empty");
    EXPECT_EQ(l[3],
              at + "34: tile number 70000 at cell (0, 0) is out of range; the cell is left empty");
    EXPECT_EQ(map->getFlags(), 0u); // attribute 9 changes nothing
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(map->GetTile(x, 0).image, nullptr) << x;
    EXPECT_EQ(map->GetTile(0, 1).image, nullptr);
    EXPECT_EQ(tileRGB(map->GetTile(2, 1).image), GREEN);
    EXPECT_EQ(map->getCollide(1, 0), 1);
    EXPECT_EQ(map->getCollide(0, 1), 0);
    EXPECT_EQ(map->getCollide(2, 1), 0); // only the low 16 bits of the mark count
    EXPECT_EQ(map->getCollide(-1, 0), 1);
}

TEST_F(TilemapFile, ReadingStopsAtOverlongLinesShortEntriesAndUnusableSizes) {
    std::string head = "KAVMAP1\nTILESET\nid 0\nimage " + twoTiles() + "\nkey 0 0 0\n";
    std::string cells =
        "MAP\nid 3\nwidth 2\nheight 1\ncells\n0 0\ntile 1\ncollide 1\nattribute 0\n";
    KAV_Tilemap* longLine =
        read(head + cells + std::string(300, 'x') + "\n1 0\ntile 1\ncollide 0\nattribute 0\n",
             "long.txt");
    KAV_Tilemap* longCrLine =
        read("KAVMAP1\r\n" + std::string(255, 'y') + "\r\n" + std::string(255, 'z') + "\rMAP\n",
             "longcr.txt");
    KAV_Tilemap* cutShort = read(head + cells + "1 0\ntile 1\ncollide", "short.txt");
    KAV_Tilemap* zeroWide =
        read(head + "MAP\nid 5\nwidth 0\nheight 4\ncells\n0 0\ntile 1\n", "zero.txt");
    KAV_Tilemap* negative = read(head + "MAP\nid 6\nwidth 4\nheight -2\n", "negative.txt");
    KAV_Tilemap* huge = read(head + "MAP\nid 8\nwidth 100000\nheight 100000\n", "huge.txt");
    KAV_Tilemap* noLabel =
        read(head + "MAP\n9\nwidth 1\nheight 1\ncells\n0 0\ntile 0\ncollide 0\nattribute 0\n",
             "nolabel.txt");

    auto at = [this](const char* file, const char* rest) {
        return "Map file " + dir.file(file) + ", line " + rest;
    };
    std::vector<std::string> expected = {
        at("long.txt", "15: line longer than 255 characters; reading stopped"),
        // 255 characters before a CR LF make a line; a CR inside a longer line does not end it.
        at("longcr.txt", "3: line longer than 255 characters; reading stopped"),
        at("short.txt", "17: cell entry cut short; ignored"),
        at("zero.txt", "9: map size 0 x 4 is out of range; reading stopped"),
        at("negative.txt", "9: map size 4 x -2 is out of range; reading stopped"),
        at("huge.txt", "9: map size 100000 x 100000 is out of range; reading stopped"),
    };
    EXPECT_EQ(logLines(), expected);
    EXPECT_EQ(longCrLine->getWidth(), 0);

    EXPECT_EQ(tileRGB(longLine->GetTile(0, 0).image), GREEN); // read before the long line
    EXPECT_EQ(longLine->GetTile(1, 0).image, nullptr);
    EXPECT_EQ(tileRGB(cutShort->GetTile(0, 0).image), GREEN);
    EXPECT_EQ(cutShort->GetTile(1, 0).image, nullptr); // the cut entry stored nothing
    EXPECT_EQ(cutShort->getCollide(1, 0), 0);
    for (KAV_Tilemap* m : {zeroWide, negative, huge}) {
        EXPECT_EQ(m->getWidth(), 0);
        EXPECT_EQ(m->GetTile(0, 0).image, nullptr);
        EXPECT_EQ(m->getCollide(0, 0), 1);
        m->setFlags(KAV_Tilemap::WRAP); // wrapping a map without cells must not loop
        EXPECT_EQ(m->GetTile(5, 5).image, nullptr);
    }
    EXPECT_EQ(KAV_TilemapStore[5], zeroWide);
    EXPECT_EQ(KAV_TilemapStore[3], cutShort); // the later file took the number
    // A lone number is taken for the label: the map number keeps its last value (0).
    EXPECT_EQ(KAV_TilemapStore[0], noLabel);
}

TEST_F(TilemapFile, TilesetsBeyondTheImageStoreAndOversizedPicturesAreRefused) {
    std::string many = tilesetPNG("many.png", 736, 736, {RED, GREEN, BLUE});
    KAV_Tilemap* map = read("KAVMAP1\nTILESET\nid 200\nimage " + many +
                            "\nkey 0 0 0\nMAP\nid 300\nwidth 1\nheight 1\ncells\n\n"
                            "TILESET\nid 1\nimage " +
                            many + "\nkey 0 0 0\n");
    std::vector<std::string> l = logLines();
    std::string at = "Map file " + dir.file("map.txt") + ", line ";
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], at + "5: tileset number 200 is out of range; section skipped");
    EXPECT_EQ(l[1], at + "7: map number 300 is out of range; not stored");
    EXPECT_EQ(l[2], "Tileset image " + many + " holds 529 tiles; only the first 512 are used");
    EXPECT_EQ(KAV_TilesetStore[200], nullptr);
    EXPECT_EQ(map->getTileset(), 1);
    EXPECT_EQ(tileRGB(vondImageStore[512 + 511]), tileRGB(KAV_TilesetStore[1]->tiles[511].image));
    EXPECT_NE(vondImageStore[512 + 511], nullptr);
    EXPECT_EQ(vondImageStore[1024], nullptr); // tileset 2's first number stays untouched
}

} // namespace
