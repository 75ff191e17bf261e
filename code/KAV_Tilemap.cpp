// Tilemaps and their "KAVMAP1" map files.
//
// A map file comes from the game's data and may be broken in any way, so the
// reader bounds every line, checks every number before it touches a table and
// stops (with one log line naming the file and the problem) rather than guess.
// Cells that no entry sets are empty and free. Tile images are cut once, when
// the file is read; GetTile is a table lookup.
#include "KAV_Tilemap.h"

#include "vondImageGuard.h"
#include "vondLog.h"
#include "vondStores.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <exception>
#include <cstdlib>
#include <new>

namespace {

// Reads one decimal integer at p, clamped to int; false when there is none.
bool parseInt(const char*& p, int& value) {
    while (*p == ' ' || *p == '\t')
        ++p;
    char* end = nullptr;
    long long v = std::strtoll(p, &end, 10);
    if (end == p) return false;
    p = end;
    value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    return true;
}

// Skips the leading label word of a "label value" line; false when there is no
// value after it (a line holding a lone number has no label and no value).
bool skipLabel(const char*& p) {
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '\0') return false;
    while (*p != '\0' && !std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return true;
}

// "label number": sets value only when both parts are there.
void readLabelled(const std::string& line, int& value) {
    const char* p = line.c_str();
    if (skipLabel(p)) parseInt(p, value);
}

} // namespace

// Reads the sections of one map file into a tilemap. Its state lives only
// while the file is read: the line count for the log, and the three reading
// variables, which keep their value when a line holds no number for them.
class KAV_MapFileReader {
  public:
    KAV_MapFileReader(KAV_Tilemap& map, long linesRead) : map(map), lineNumber(linesRead) {}

    void readSections(std::ifstream& in);
    // The next line without its line end; false at the end of the file, on a
    // read error or past 255 characters (logged unless quiet).
    bool readLine(std::ifstream& in, std::string& line, bool quiet = false);

  private:
    bool readTilesetSection(std::ifstream& in);
    bool readMapSection(std::ifstream& in);
    bool readCellEntry(const std::string (&entry)[4]);
    void logProblem(const std::string& what);

    KAV_Tilemap& map;
    long lineNumber;
    int readX = 0, readY = 0, readNumber = 0;
};

void vondRetain(KAV_Tileset* t) {
    ++t->references;
}
void vondRelease(KAV_Tileset* t) {
    vondCounted::release(t);
}
void vondRetain(KAV_Tilemap* m) {
    ++m->references;
}
void vondRelease(KAV_Tilemap* m) {
    vondCounted::release(m);
}

KAV_Tilemap::KAV_Tilemap(int w, int h, int t, unsigned f) : flags(f), tilesetNumber(t) {
    if (vondTilesetOk(t)) tileset = KAV_TilesetStore[t];
    allocate(w, h);
    if (isBlank()) makeBlankTile();
}

KAV_Tilemap::KAV_Tilemap(const char* name) : fileName(name != nullptr ? name : "") {
    std::ifstream in(fileName, std::ios::in | std::ios::binary);
    if (!in) {
        vondLog("Unable to open tilemap: ", fileName);
        return;
    }
    std::string first;
    if (!KAV_MapFileReader(*this, 0).readLine(in, first, true) || first != "KAVMAP1") {
        vondLog("Unrecognized filetype: ", fileName);
        return;
    }
    doKAVMAP1(in);
}

KAV_Tilemap::~KAV_Tilemap() {
    releaseTables();
}

bool KAV_Tilemap::allocate(int w, int h) {
    if (w <= 0 || h <= 0 || static_cast<long>(w) * h > KAV_MAP_MAX_CELLS) return false;
    long cells = static_cast<long>(w) * h;
    auto* newTiles = new (std::nothrow) unsigned short[cells];
    auto* newCollide = new (std::nothrow) unsigned char[cells];
    if (newTiles == nullptr || newCollide == nullptr) {
        delete[] newTiles;
        delete[] newCollide;
        return false;
    }
    releaseTables();
    tiles = newTiles;
    collide = newCollide;
    width = w;
    height = h;
    std::fill(tiles, tiles + cells, KAV_EMPTY_CELL);
    std::fill(collide, collide + cells, 0);
    return true;
}

void KAV_Tilemap::releaseTables() {
    delete[] tiles;
    delete[] collide;
    tiles = nullptr;
    collide = nullptr;
    width = height = 0;
}

void KAV_Tilemap::makeBlankTile() {
    // The key colour is mapped in the tileset picture's format and used here
    // as it is, so that the blank tile matches the colour key of the layers.
    blankTile.number = 0;
    blankTile.image = vondRef<SDL_Surface>(KAV_NewSurface(0, KAV_TILE_SIZE, KAV_TILE_SIZE));
    if (blankTile.image)
        SDL_FillRect(blankTile.image.get(), nullptr, tileset ? tileset->keyColour : 0);
}

void KAV_Tilemap::setFlags(unsigned newFlags) {
    flags = newFlags;
    if (isBlank()) {
        makeBlankTile();
    } else {
        // Without the blank flag, empty and outside cells draw nothing.
        blankTile.image.reset();
    }
}

const KAV_Tile& KAV_Tilemap::GetTile(int x, int y) {
    if (!inside(x, y)) {
        if (!isWrap() || !hasCells()) return isBlack() ? KAV_BLACK_TILE : blankTile;
        x = vondWrapInto(x, width);
        y = vondWrapInto(y, height);
    }
    unsigned short t = tiles[static_cast<long>(y) * width + x];
    if (t == KAV_EMPTY_CELL || t >= KAV_TILESET_TILES || !tileset) return blankTile;
    return tileset->tiles[t];
}

int KAV_Tilemap::getCollide(int x, int y) {
    if (!hasCells()) return 1;
    if (isWrap()) {
        x = vondWrapInto(x, width);
        y = vondWrapInto(y, height);
    }
    if (!inside(x, y)) return 1; // everything off the map is blocked
    return collide[static_cast<long>(y) * width + x];
}

void KAV_Tilemap::SetTile(int x, int y, unsigned short tile) {
    if (hasCells() && inside(x, y)) tiles[static_cast<long>(y) * width + x] = tile;
}

void KAV_MapFileReader::logProblem(const std::string& what) {
    vondLog("Map file ", map.fileName, ", line ", lineNumber, ": ", what);
}

bool KAV_MapFileReader::readLine(std::ifstream& in, std::string& line, bool quiet) {
    line.clear();
    if (!in) return false;
    bool any = false, overlong = false;
    // Straight from the stream buffer: istream::get per character costs most
    // of a large map's loading time. The end of the file sets the stream's
    // state as get would, and so does a read error (a directory, say), which
    // the buffer throws where get would catch it.
    std::streambuf* buffer = in.rdbuf();
    try {
        for (int c = buffer->sbumpc();; c = buffer->sbumpc()) {
            if (c == std::char_traits<char>::eof()) {
                in.setstate(std::ios::eofbit | std::ios::failbit);
                break;
            }
            any = true;
            if (c == '\n') break;
            // One byte of slack for the CR of a CR LF line end.
            if (line.size() > KAV_MAP_LINE_MAX) {
                overlong = true;
                break;
            }
            line.push_back(static_cast<char>(c));
        }
    } catch (const std::exception&) {
        in.setstate(std::ios::badbit);
        return false;
    }
    if (!any) return false;
    ++lineNumber;
    if (!overlong && !line.empty() && line.back() == '\r') line.pop_back();
    if (overlong || line.size() > KAV_MAP_LINE_MAX) {
        if (!quiet) logProblem("line longer than 255 characters; reading stopped");
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

void KAV_MapFileReader::readSections(std::ifstream& in) {
    std::string line;
    while (readLine(in, line)) {
        bool goOn = true;
        if (line.compare(0, 7, "TILESET") == 0)
            goOn = readTilesetSection(in);
        else if (line.compare(0, 3, "MAP") == 0)
            goOn = readMapSection(in);
        if (!goOn) break;
    }
    if (map.hasCells() && !map.tileset) logProblem("the map has no tileset; it draws nothing");
    if (map.isBlank()) map.makeBlankTile();
}

bool KAV_MapFileReader::readTilesetSection(std::ifstream& in) {
    std::string numberLine, nameLine, keyLine;
    if (!readLine(in, numberLine) || !readLine(in, nameLine) || !readLine(in, keyLine)) {
        if (in.eof()) logProblem("tileset section cut short");
        return false;
    }
    readLabelled(numberLine, readNumber);
    int n = readNumber;

    char name[KAV_MAP_LINE_MAX + 1] = "";
    std::sscanf(nameLine.c_str(), "%*s %255s", name);

    int rgb[3] = {0, 0, 0};
    const char* p = keyLine.c_str();
    if (skipLabel(p))
        for (int& c : rgb)
            if (!parseInt(p, c)) break;

    if (n < 0 || n >= KAV_MAX_CUT_TILESETS) {
        logProblem("tileset number " + std::to_string(n) + " is out of range; section skipped");
        return true;
    }
    vondRef<KAV_Tileset> record(new KAV_Tileset());
    record->number = n;
    KAV_StoreTileset(n, record);
    map.tilesetNumber = n;
    map.tileset = record;
    map.doKAVGFX1(name, n, rgb[0], rgb[1], rgb[2]);
    return true;
}

bool KAV_MapFileReader::readMapSection(std::ifstream& in) {
    std::string line;
    if (!readLine(in, line)) return false;
    readLabelled(line, readNumber);
    if (vondTilemapOk(readNumber))
        KAV_StoreTilemap(readNumber, vondRef<KAV_Tilemap>::share(&map));
    else
        logProblem("map number " + std::to_string(readNumber) + " is out of range; not stored");

    if (!readLine(in, line)) return false;
    readLabelled(line, readNumber);
    int w = readNumber;
    if (!readLine(in, line)) return false;
    readLabelled(line, readNumber);
    int h = readNumber;
    if (!map.allocate(w, h)) {
        logProblem("map size " + std::to_string(w) + " x " + std::to_string(h) +
                   " is out of range; reading stopped");
        return false;
    }
    if (!readLine(in, line)) return false; // a heading line, not used

    // Cell entries of four lines each, up to an empty line or the end of the
    // file. An empty line inside an entry is a value line without a number.
    std::string entry[4];
    while (readLine(in, entry[0]) && !entry[0].empty()) {
        for (int k = 1; k < 4; ++k) {
            if (!readLine(in, entry[k])) {
                if (in.eof()) logProblem("cell entry cut short; ignored");
                return static_cast<bool>(in);
            }
        }
        readCellEntry(entry);
    }
    return static_cast<bool>(in);
}

// One cell: "x y", then tile, collision and attribute lines.
bool KAV_MapFileReader::readCellEntry(const std::string (&entry)[4]) {
    const char* p = entry[0].c_str();
    if (parseInt(p, readX)) parseInt(p, readY);
    readLabelled(entry[1], readNumber);
    int tile = readNumber;
    readLabelled(entry[2], readNumber);
    int blocked = readNumber;
    readLabelled(entry[3], readNumber);
    int attribute = readNumber;

    std::string cell = "cell (" + std::to_string(readX) + ", " + std::to_string(readY) + ")";
    if (!map.inside(readX, readY)) {
        logProblem(cell + " lies outside the " + std::to_string(map.width) + " x " +
                   std::to_string(map.height) + " map; skipped");
        return false;
    }
    long at = static_cast<long>(readY) * map.width + readX;
    // Stored as its low 16 bits, in which -1 is the empty marker 65535.
    const int stored = tile & 0xFFFF;
    if (stored == KAV_EMPTY_CELL) {
        map.tiles[at] = KAV_EMPTY_CELL;
    } else if (stored < KAV_TILESET_TILES) {
        map.tiles[at] = static_cast<unsigned short>(stored);
    } else {
        logProblem("tile number " + std::to_string(tile) + " at " + cell +
                   " is out of range; the cell is left empty");
        map.tiles[at] = KAV_EMPTY_CELL;
    }
    map.collide[at] = (blocked & 0xFFFF) != 0 ? 1 : 0;
    // Only the first cell's attribute means something: the map's edge mode.
    if (readX == 0 && readY == 0) {
        if (attribute == 1)
            map.flags = KAV_Tilemap::WRAP;
        else if (attribute == 2)
            map.flags = KAV_Tilemap::BLANK;
        else if (attribute == 3)
            map.flags = KAV_Tilemap::BLACK_EDGE;
    }
    return true;
}

void KAV_Tilemap::doKAVMAP1(std::ifstream& in) {
    // The first line, "KAVMAP1", has been read.
    KAV_MapFileReader(*this, 1).readSections(in);
}

void KAV_Tilemap::doKAVGFX1(const std::string& pictureFile, int t, int red, int green, int blue) {
    if (t < 0 || t >= KAV_MAX_CUT_TILESETS) {
        vondLog("Tileset number ", t, " is out of range for ", pictureFile);
        return;
    }
    KAV_Tileset* record = KAV_TilesetStore[t].get();
    if (record == nullptr) {
        record = new KAV_Tileset();
        record->number = t;
        KAV_StoreTileset(t, record);
    }
    SDL_Surface* picture = vondLoadImage(pictureFile.c_str());
    if (picture == nullptr) {
        vondLog("Error loading tileset image: ", pictureFile);
        return;
    }
    record->keyColour = SDL_MapRGB(picture->format, red & 0xFF, green & 0xFF, blue & 0xFF);

    int columns = picture->w / KAV_TILE_SIZE;
    int count = columns * (picture->h / KAV_TILE_SIZE);
    if (count > KAV_TILESET_TILES) {
        vondLog("Tileset image ", pictureFile, " holds ", count, " tiles; only the first ", KAV_TILESET_TILES, " are used");
        count = KAV_TILESET_TILES;
    }
    // Left to right, then top to bottom.
    for (int i = 0; i < count; ++i) {
        SDL_Surface* tile = KAV_NewSurface(0, KAV_TILE_SIZE, KAV_TILE_SIZE);
        if (tile == nullptr) break;
        SDL_Rect from = newRect((i % columns) * KAV_TILE_SIZE, (i / columns) * KAV_TILE_SIZE,
                                KAV_TILE_SIZE, KAV_TILE_SIZE);
        SDL_Rect to = newRect(0, 0, 0, 0);
        SDL_BlitSurface(picture, &from, tile, &to);
        record->tiles[i].number = i;
        record->tiles[i].image = vondRef<SDL_Surface>(tile);
        KAV_StoreImage(KAV_TILES_PER_TILESET * t + i, record->tiles[i].image);
    }
    SDL_FreeSurface(picture);
}
