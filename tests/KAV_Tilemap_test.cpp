// Tilemaps read from real map files and tileset pictures: the example map, its
// edge modes, tileset cutting, and map files broken in every way a file can be.
#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondSceneFixture.h"
#include "vondStores.h"

namespace {

constexpr Uint32 RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF;
constexpr Uint32 MAGENTA = 0xFF00FF, NONE = 0xFFFFFFFF; // NONE: a tile without image

// RGB of the pixel a tile image shows at (x, y).
Uint32 tileRGB(SDL_Surface* image, int x = 0, int y = 0) {
    return image != nullptr ? pixelRGB(image, x, y) : NONE;
}

class TilemapFile : public SceneTest {
  protected:
    // Two whole tiles, cut left to right then down: red, then green below it;
    // the partial squares to the right and below are not used.
    std::string twoTiles() {
        writeSheet(dir.file("tiles.bmp"), 40, 70, {RED, BLUE, GREEN, BLUE});
        return dir.file("tiles.bmp");
    }
};

// The first cell's attribute picks what lies outside: wrap (1), blank (2), black (3).
TEST_F(TilemapFile, ExampleMapShowsItsCellsAndWrapsOrShowsTheBlankOrBlackEdge) {
    const struct {
        int attribute;
        Uint32 right, left, empty;
    } cases[] = {{1, RED, GREEN, NONE}, {2, MAGENTA, MAGENTA, MAGENTA}, {3, 0, 0, NONE}};
    for (const auto& c : cases) { // (2, 0) and (-1, 0) lie outside, (0, 1) is empty
        KAV_Tilemap* map = read(exampleMap(twoTiles(), c.attribute));
        EXPECT_EQ(KAV_TilemapStore[1].get(), map);
        EXPECT_EQ(vondImageStore[2].get(), nullptr); // two tiles: images 0 and 1
        EXPECT_EQ(tileRGB(map->GetTile(0, 0).image.get()), RED) << c.attribute;
        EXPECT_EQ(tileRGB(map->GetTile(2, 0).image.get(), 31, 31), c.right) << c.attribute;
        EXPECT_EQ(tileRGB(map->GetTile(-1, 0).image.get()), c.left) << c.attribute;
        EXPECT_EQ(tileRGB(map->GetTile(0, 1).image.get()), c.empty) << c.attribute;
        EXPECT_EQ(map->getCollide(1, 0) + map->getCollide(0, 0) * 2, 1) << c.attribute;
        EXPECT_TRUE(c.attribute == 2 || map->getCollide(-1, 0) == 1) << c.attribute;
    }
    EXPECT_EQ(tileRGB(maps[0]->GetTile(-3, 5).image.get()), GREEN); // wraps as often as needed
    EXPECT_TRUE(logLines().empty());
}

// Each file is read on its own; '@' in an expected line stands for its path and
// '#' for "Map file <path>, line ". Whatever the file, no cell lookup may overrun.
TEST_F(TilemapFile, BrokenMapFilesAreLoggedReadAsFarAsTheyGoAndNeverOverrun) {
    const std::string head = "KAVMAP1\nTILESET\nid 0\nimage " + twoTiles() + "\nkey 0 0 0\n";
    const std::string cells = "MAP\nid 3\nwidth 2\nheight 1\ncells\n0 0\ntile 1\ncollide 1\n"
                              "attribute 0\n";
    const std::string cell = "\ntile 1\ncollide 1\nattribute 0\n";
    writeSheet(dir.file("many.bmp"), 736, 736, {RED, GREEN});
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> log;
    } cases[] = {
        {"blank.txt", "KAVMAP1 \nTILESET\n", {"Unrecognized filetype: @"}},
        {"picture.txt", std::string(400, 'B') + "\n", {"Unrecognized filetype: @"}},
        {"crlf.txt",
         "KAVMAP1\r\nMAP\r\nid 4\r\nw 1\r\nh 1\r\nc\r\n0 0\r\nt 0\r\nc 1\r\na 0\r\n",
         {"#10: the map has no tileset; it draws nothing"}},
        {"gone.txt",
         exampleMap(dir.file("gone.png"), 1),
         {"Error loading tileset image: " + dir.file("gone.png")}},
        {"cells.txt",
         head + "MAP\nid 7\nwidth 3\nheight 2\ncells\n5 0" + cell + "-1 0" + cell +
             "1 0\ntile 600\ncollide 1\nattribute 0\n2 0\ntile 65535\ncollide 0\nattribute 0\n"
             "2 1\ntile 65537\ncollide 65536\nattribute 0\n0 0\ntile 70000\ncollide 0\nattribute 9\n"
             "\nsome stray line\n",
         {"#14: cell (5, 0) lies outside the 3 x 2 map; skipped",
          "#18: cell (-1, 0) lies outside the 3 x 2 map; skipped",
          "#22: tile number 600 at cell (1, 0) is out of range; the cell is left empty",
          "#34: tile number 70000 at cell (0, 0) is out of range; the cell is left empty"}},
        {"long.txt",
         head + cells + std::string(300, 'x') + "\n1 0" + cell,
         {"#15: line longer than 255 characters; reading stopped"}},
        // 255 characters before a CR LF make a line; a CR inside a longer line does not end it.
        {"longcr.txt",
         "KAVMAP1\r\n" + std::string(255, 'y') + "\r\n" + std::string(255, 'z') + "\rMAP\n",
         {"#3: line longer than 255 characters; reading stopped"}},
        {"short.txt",
         head + cells + "1 0\n\ncollide 0\nattribute 0\n0 0\ntile 0\ncollide",
         {"#21: cell entry cut short; ignored"}},
        {"zero.txt",
         head + "MAP\nid 5\nwidth 0\nheight 4\ncells\n0 0\ntile 1\n",
         {"#9: map size 0 x 4 is out of range; reading stopped"}},
        {"negative.txt",
         head + "MAP\nid 6\nwidth 4\nheight -2\n",
         {"#9: map size 4 x -2 is out of range; reading stopped"}},
        {"huge.txt",
         head + "MAP\nid 8\nwidth 100000\nheight 100000\n",
         {"#9: map size 100000 x 100000 is out of range; reading stopped"}},
        {"numbers.txt",
         "KAVMAP1\nTILESET\nid 200\nimage " + dir.file("many.bmp") +
             "\nkey 0 0 0\nMAP\nid 300\nwidth 1\nheight 1\ncells\n\nTILESET\nid 1\nimage " +
             dir.file("many.bmp") + "\nkey 0 0 0\n",
         {"#5: tileset number 200 is out of range; section skipped",
          "#7: map number 300 is out of range; not stored",
          "Tileset image " + dir.file("many.bmp") +
              " holds 529 tiles; only the first 512 are used"}},
    };
    std::map<std::string, KAV_Tilemap*> m;
    for (const auto& c : cases) {
        size_t before = logLines().size();
        m[c.name] = read(c.text, c.name);
        std::vector<std::string> log = logLines();
        log.erase(log.begin(), log.begin() + before);
        std::vector<std::string> expected;
        for (std::string line : c.log) {
            if (line[0] == '#') line = "Map file @, line " + line.substr(1);
            size_t at = line.find('@');
            expected.push_back(at == std::string::npos ? line
                                                       : line.replace(at, 1, dir.file(c.name)));
        }
        EXPECT_EQ(log, expected) << c.name;
        for (int x : {-70000, -1, 0, 1, 2, 99999})
            m[c.name]->getCollide(x, -x), m[c.name]->GetTile(x, x);
    }
    m["missing"] = keep(new KAV_Tilemap(dir.file("nothere.txt").c_str()));
    EXPECT_EQ(logLines().back(), "Unable to open tilemap: " + dir.file("nothere.txt"));
    keep(new KAV_Tilemap(dir.path().c_str())); // opens, but reading fails
    EXPECT_EQ(logLines().back(), "Unrecognized filetype: " + dir.path());
    for (const char* empty : {"missing", "blank.txt", "longcr.txt", "zero.txt", "huge.txt"}) {
        m[empty]->setFlags(KAV_Tilemap::WRAP); // wrapping a map without cells must not loop
        EXPECT_EQ(m[empty]->GetTile(5, 5).image.get(), nullptr) << empty;
        EXPECT_EQ(m[empty]->getCollide(0, 0), 1) << empty; // an empty map blocks
    }
    EXPECT_EQ(KAV_TilemapStore[4].get(), m["crlf.txt"]); // CR LF line ends are read
    EXPECT_EQ(m["cells.txt"]->getFlags(), 0u);     // attribute 9 changes nothing
    // 65537 keeps its low 16 bits
    EXPECT_EQ(tileRGB(m["cells.txt"]->GetTile(2, 1).image.get()), GREEN);
    EXPECT_EQ(m["cells.txt"]->getCollide(2, 1), 0); // only the low 16 bits of the mark count
    EXPECT_EQ(m["cells.txt"]->getCollide(0, 1), 0); // cells never named stay empty and free
    EXPECT_EQ(m["long.txt"]->GetTile(1, 0).image.get(), nullptr); // stopped at the long line
    // An empty value line keeps the number read before it (0); the cut entry stores nothing.
    EXPECT_EQ(tileRGB(m["short.txt"]->GetTile(1, 0).image.get()), RED);
    EXPECT_EQ(tileRGB(m["short.txt"]->GetTile(0, 0).image.get()), GREEN);
    EXPECT_EQ(tileRGB(vondImageStore[512 + 511].get()), GREEN); // tileset 1: images 512 to 1023
    EXPECT_EQ(vondImageStore[1024].get(), nullptr);
}

} // namespace
