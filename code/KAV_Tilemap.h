// Tilemaps: grids of tile numbers with collision marks, read from "KAVMAP1"
// map files, and the tilesets whose 32 x 32 tile images they draw with.
#pragma once

#include "vondStores.h"

#include <SDL.h>

#include <fstream>
#include <string>

constexpr int KAV_TILE_SIZE = 32;
// Tile numbers a cell may hold; 0xFFFF marks an empty cell.
constexpr int KAV_TILESET_TILES = 512;
constexpr unsigned short KAV_EMPTY_CELL = 0xFFFF;
// Longest line a map file may hold, and the largest map it may describe.
constexpr size_t KAV_MAP_LINE_MAX = 255;
constexpr long KAV_MAP_MAX_CELLS = 16L * 1024 * 1024;

// A tile holds its image: a tile keeps drawing the image cut for it after a
// picture is loaded over its image number.
struct KAV_Tile {
    int number = 0;             // tile number within its tileset; 0 for blank and black tiles
    vondRef<SDL_Surface> image; // 32 x 32 engine-format image; null draws nothing
};

// Shared by the tileset store and the maps set up with it.
struct KAV_Tileset : vondCounted {
    int number = 0;
    Uint32 keyColour = 0; // in the pixel format of the tileset picture
    KAV_Tile tiles[KAV_TILESET_TILES];
};

// Returned for cells outside a map whose black-edge flag is set.
extern KAV_Tile KAV_BLACK_TILE;

// Shared by the tilemap store and the layers showing it (see vondRef); made
// with new, since a map file stores the map it is read into.
class KAV_Tilemap : public vondCounted {
  public:
    enum : unsigned { WRAP = 1, BLANK = 2, BLACK_EDGE = 4 };

    KAV_Tilemap(int width, int height, int tileset, unsigned flags);
    explicit KAV_Tilemap(const char* fileName);
    ~KAV_Tilemap();
    KAV_Tilemap(const KAV_Tilemap&) = delete;
    KAV_Tilemap& operator=(const KAV_Tilemap&) = delete;

    // The tile record to draw, by reference: valid while the map is held and
    // its flags are not changed.
    const KAV_Tile& GetTile(int x, int y);
    int getCollide(int x, int y);
    // Cells outside the map are left alone.
    void SetTile(int x, int y, unsigned short tile);

    int getTileset() const { return tilesetNumber; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    unsigned getFlags() const { return flags; }
    bool isWrap() const { return flags & WRAP; }
    bool isBlank() const { return flags & BLANK; }
    bool isBlack() const { return flags & BLACK_EDGE; }
    void setFlags(unsigned newFlags);

    // Reads the sections of a map file after its first line.
    void doKAVMAP1(std::ifstream& in);
    // Loads a tileset picture and cuts it into the tiles of tileset `tileset`.
    void doKAVGFX1(const std::string& pictureFile, int tileset, int red, int green, int blue);

  private:
    bool hasCells() const { return tiles != nullptr; }
    bool inside(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }
    // Allocates empty, free tables for width x height cells; false when the size is unusable.
    bool allocate(int w, int h);
    void releaseTables();
    void makeBlankTile();
    // The map-file reader, local to KAV_Tilemap.cpp, fills the tables.
    friend class KAV_MapFileReader;

    unsigned flags = 0;
    int tilesetNumber = 0;
    vondRef<KAV_Tileset> tileset;
    unsigned char* collide = nullptr;
    int width = 0;
    int height = 0;
    unsigned short* tiles = nullptr;
    KAV_Tile blankTile;
    std::string fileName; // the map file it was read from, for the log
};
