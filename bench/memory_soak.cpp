// A long game played headless, for what it does to memory: every two seconds
// of game time the player walks into the next of four rooms, and the room's
// script loads its backdrop, portrait, map (with its 128-tile tileset) and font
// again, rebuilds the scene (layers, eight sprites, a revealing text window, a
// picture window, a hotspot) and saves and loads the game state now and then.
// Timed events walk a sprite, scroll the map, open and close a window, delete
// and place sprites, and close the room's narration once.
//
// Frames are the engine's own, gfx.Update(16) and gfx.Draw(), as fast as they
// go. Resident memory (and the C library's live heap) is printed at the start
// and after every thousand frames, then how far it strayed after warm-up.
//
//   SDL_VIDEODRIVER=dummy build-bench/bench/memory_soak [frames] [warm-up frames]
//
// (defaults 100000 and 10000). Files are made in a temporary directory.
#include "vondBenchSupport.h"

#include "lua40/lua40.h"
#include "vondGlobals.h"
#include "vondScriptHost.h"
#include "vondStores.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int ROOMS = 4;

double residentMiB() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

double liveHeapMiB() {
    struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1 << 20);
}

// A w x h picture in which every 32 x 32 square has a colour of its own.
void writePicture(const std::string& path, int w, int h, int seed) {
    SDL_Surface* s = KAV_NewSurface(0, w, h);
    for (int y = 0; y < h; y += 32)
        for (int x = 0; x < w; x += 32) {
            SDL_Rect r = newRect(x, y, 32, 32);
            int v = seed * 61 + x / 32 * 7 + y / 32 * 13;
            SDL_FillRect(s, &r, SDL_MapRGB(s->format, v * 37, v * 11 + 40, v * 5 + 90));
        }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

// A 512 x 192 font picture: magenta background (its key), one block per glyph.
void writeFont(const std::string& path, int seed) {
    SDL_Surface* s = KAV_NewSurface(0, 512, 192);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
    for (int g = 1; g < 128; ++g) {
        SDL_Rect r = newRect(g % 32 * 16 + 2, g / 32 * 16 + 3, 4 + g % 9, 10);
        SDL_FillRect(s, &r, SDL_MapRGB(s->format, 250 - seed * 90, 240, 200));
    }
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
}

// A wrapping 40 x 15 map using tileset 0 cut from a 512 x 256 picture.
void writeMap(const std::string& path, const std::string& tileset, int seed) {
    std::ofstream out(path);
    out << "KAVMAP1\nTILESET\nid 0\nimage " << tileset << "\nkey 255 0 255\nMAP\nid 1\n"
        << "width 40\nheight 15\ncells\n";
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 40; ++x)
            out << x << ' ' << y << "\ntile " << (x * 3 + y * 5 + seed) % 128 << "\ncollide 0\n"
                << "attribute " << (x == 0 && y == 0 ? 1 : 0) << '\n';
    out << '\n';
}

const char* GAME_SCRIPT = R"lua(
-- Sprite templates once: frames 200 to 203 walk, 204 stands.
addImage(200, "pics/walk0.bmp") addImage(201, "pics/walk1.bmp")
addImage(202, "pics/walk2.bmp") addImage(203, "pics/walk3.bmp")
addImage(204, "pics/stand.bmp")
addSprite(1, 0, 4, 200, 201, 202, 203)
addSprite(2, 0, 1, 204)
sm_createNetwork("game")
sm_createNode("game", "room")
sm_createNode("game", "visits")
room = 0
visits = 0
doorOpen = 0

function buildRoom()
  DestroyAll()
  addImage(100, "pics/room" .. room .. ".bmp")
  addImage(101, "pics/portrait" .. room .. ".bmp")
  loadMap(1, "maps/room" .. room .. ".map")
  addFont(0, "fonts/font" .. mod(room, 2) .. ".bmp")
  setLayerProperty(0, 0, 0)  setLayerPic(0, 100)  toggleLayer(0)
  setLayerProperty(1, 1, 1)  setTilemap(1, 1)  toggleLayer(1)
  toggleSLayer(2)
  local i = 0
  while i < 8 do
    placeSprite(1 + mod(i, 2), 2, 2 * i + 1, 8, 0, 0)
    i = i + 1
  end
  addString(1, "Room " .. room .. ", visit " .. visits .. ". The soak goes on and on.")
  newTxtWin(1, 16, 380, 608, 84, 1)
  setWinFlags(1, 16)
  newPicWin(2, 520, 16, 101)
  newClickH(0, 0, 64, 64, 1, "doorOpen = 1 - doorOpen")
  addTimedEvent(4, 1, 1, 1200, "delWin(1)")
end

function nextRoom()
  room = mod(room + 1, 4)
  visits = visits + 1
  sm_putNode("game.room", "" .. room)
  sm_putNode("game.visits", "" .. visits)
  if mod(visits, 4) == 0 then
    sm_save("game", "save.txt")
    sm_load("game", "save.txt")
  end
  buildRoom()
end

function walk()
  moveSprite(0, 2, 0, 0, 2, 0)
  MoveLPointer(1, 0, 0, -1, 0)
end

shelf = 0
function shuffleSprites()
  delSprite(7, 2)
  placeSprite(2, 2, 4 + shelf, 10, 0, 0)
  shelf = mod(shelf + 1, 10)
end

note = 0
function toggleNote()
  if note == 0 then
    addString(2, "A note, open for a moment.")
    newTxtWin(3, 200, 200, 240, 60, 2)
    note = 1
  else
    delWin(3)
    note = 0
  end
end

buildRoom()
addTimedEvent(1, 0, 1, 16, "walk()")
addTimedEvent(2, 0, 1, 2000, "nextRoom()")
addTimedEvent(3, 0, 1, 500, "shuffleSprites()")
addTimedEvent(5, 0, 1, 300, "toggleNote()")
)lua";

std::string makeGame() {
    char pattern[] = "/tmp/vond-soak-XXXXXX";
    std::string dir = mkdtemp(pattern);
    for (const char* sub : {"/scripts", "/pics", "/maps", "/fonts", "/tiles"})
        std::filesystem::create_directories(dir + sub);
    for (int r = 0; r < ROOMS; ++r) {
        writePicture(dir + "/pics/room" + std::to_string(r) + ".bmp", 640, 480, r);
        writePicture(dir + "/pics/portrait" + std::to_string(r) + ".bmp", 96, 96, 10 + r);
        writePicture(dir + "/tiles/set" + std::to_string(r) + ".bmp", 512, 256, 20 + r);
        writeMap(dir + "/maps/room" + std::to_string(r) + ".map",
                 "tiles/set" + std::to_string(r) + ".bmp", r);
    }
    for (int f = 0; f < 2; ++f)
        writeFont(dir + "/fonts/font" + std::to_string(f) + ".bmp", f);
    for (int i = 0; i < 4; ++i)
        writePicture(dir + "/pics/walk" + std::to_string(i) + ".bmp", 32, 48, 30 + i);
    writePicture(dir + "/pics/stand.bmp", 32, 48, 40);
    std::ofstream(dir + "/scripts/monkey.lua") << GAME_SCRIPT;
    return dir;
}

double globalNumber(const char* name) {
    lua_getglobal(game_state, name);
    double v = lua_tonumber(game_state, -1);
    lua_pop(game_state, 1);
    return v;
}

} // namespace

int main(int argc, char* argv[]) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 100000;
    const long warmUp = argc > 2 ? std::atol(argv[2]) : 10000;
    vondBench::startVideo();
    const std::string dir = makeGame();
    if (chdir(dir.c_str()) != 0) return 1;
    vondBench::openScriptHost();
    if (lua_dofile(game_state, "scripts/monkey.lua") != 0) {
        std::fprintf(stderr, "the soak's script failed\n");
        return 1;
    }

    std::printf("%8s %9s %10s %10s %8s\n", "frames", "rss_MiB", "heap_MiB", "ms/frame", "rooms");
    auto report = [&](long frame, double ms) {
        std::printf("%8ld %9.1f %10.1f %10.3f %8.0f\n", frame, residentMiB(), liveHeapMiB(), ms,
                    globalNumber("visits"));
        std::fflush(stdout);
    };
    report(0, 0);
    double settled = 0, lowest = 1e300, highest = 0;
    double started = vondBench::cpuMs();
    for (long f = 1; f <= frames; ++f) {
        gfx.Update(16);
        gfx.Draw();
        if (f % 1000 != 0) continue;
        double now = vondBench::cpuMs();
        report(f, (now - started) / 1000);
        started = now;
        double rss = residentMiB();
        if (f == warmUp) settled = rss;
        if (f > warmUp) lowest = std::min(lowest, rss), highest = std::max(highest, rss);
    }
    int sprites = 0;
    for (int slot = 0; slot < vondEngine2::SPRITE_SLOTS; ++slot)
        sprites += gfx.getSprite(static_cast<unsigned char>(slot), 2) != nullptr;
    std::printf("at the end: %zu windows, %zu timed events, %zu hotspots, %d sprites\n",
                gfx.windowCount(), gfx.timedEventCount(), gfx.clickHandlerCount(), sprites);
    if (settled > 0 && highest > 0)
        std::printf("after warm-up (%ld frames, %.1f MiB): lowest %.1f MiB (%+.2f %%), highest "
                    "%.1f MiB (%+.2f %%)\n",
                    warmUp, settled, lowest, 100 * (lowest - settled) / settled, highest,
                    100 * (highest - settled) / settled);
    if (chdir("/") == 0) std::filesystem::remove_all(dir);
    return 0;
}
