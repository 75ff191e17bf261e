// Start-up of a large game: a start-up script that loads 1,000 images, 20 map
// files of 256 x 256 cells (each with its tileset picture, cut into 256
// tiles) and defines 100 sprite templates. Timed from opening the interpreter
// to the end of the script, as the entry point does it. The game files are
// generated once into a temporary directory.
#include "vondBenchSupport.h"

#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"
#include "vondGlobals.h"
#include "vondScriptHost.h"
#include "vondScriptFuncs.h"
#include "vondStores.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int IMAGES = 1000, MAPS = 20, MAP_CELLS = 256, TEMPLATES = 100;

std::string makeGame() {
    char pattern[] = "/tmp/vond-startup-XXXXXX";
    std::string dir = mkdtemp(pattern);
    for (const char* sub : {"/pics", "/maps", "/scripts"})
        mkdir((dir + sub).c_str(), 0755);
    // Pictures: 64 x 64, 24 bits, each a little different.
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int i = 0; i < IMAGES; ++i) {
        SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, i & 0xFF, i >> 2 & 0xFF, 77));
        SDL_SaveBMP(picture, (dir + "/pics/p" + std::to_string(i) + ".bmp").c_str());
    }
    SDL_FreeSurface(picture);
    // Tileset picture: 16 x 16 tiles of 32 x 32.
    SDL_Surface* tiles =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 512, 512, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int t = 0; t < 256; ++t) {
        SDL_Rect cell = {static_cast<Sint16>(t % 16 * 32), static_cast<Sint16>(t / 16 * 32), 32,
                         32};
        SDL_FillRect(tiles, &cell, SDL_MapRGB(tiles->format, t, 255 - t, t * 7 & 0xFF));
    }
    SDL_SaveBMP(tiles, (dir + "/pics/tiles.bmp").c_str());
    SDL_FreeSurface(tiles);
    for (int m = 0; m < MAPS; ++m) {
        std::ofstream out(dir + "/maps/m" + std::to_string(m) + ".map");
        out << "KAVMAP1\nTILESET\nid " << m << "\nimage pics/tiles.bmp\nkey 255 0 255\n";
        out << "MAP\nid " << m << "\nwidth " << MAP_CELLS << "\nheight " << MAP_CELLS
            << "\ncells\n";
        for (int y = 0; y < MAP_CELLS; ++y)
            for (int x = 0; x < MAP_CELLS; ++x)
                out << x << ' ' << y << "\ntile " << (x * 7 + y * 3 + m) % 256 << "\ncollide "
                    << (x + y) % 5 / 4 << "\nattribute " << (x == 0 && y == 0 ? 1 : 0) << '\n';
    }
    // The start-up script, in the subset of Lua that 4.0 and 5.1 share.
    std::ofstream script(dir + "/scripts/monkey.lua");
    script << "i = 0\nwhile i < " << IMAGES
           << " do\n  addImage(i, \"pics/p\" .. i .. \".bmp\")\n  i = i + 1\nend\n";
    script << "m = 0\nwhile m < " << MAPS
           << " do\n  loadMap(m, \"maps/m\" .. m .. \".map\")\n  m = m + 1\nend\n";
    script
        << "s = 0\nwhile s < " << TEMPLATES
        << " do\n  addSprite(s, 0, 4, s * 4, s * 4 + 1, s * 4 + 2, s * 4 + 3)\n  s = s + 1\nend\n";
    return dir;
}

// The generated game, removed when the program ends.
struct GeneratedGame {
    std::string dir = makeGame();
    ~GeneratedGame() { std::filesystem::remove_all(dir); }
};

void BM_Startup_LargeGame(benchmark::State& state) {
    vondBench::startVideo();
    static const GeneratedGame game;
    const std::string& dir = game.dir;
    char previous[4096];
    if (getcwd(previous, sizeof previous) == nullptr || chdir(dir.c_str()) != 0) {
        state.SkipWithError("no game directory");
        return;
    }
    lua_State* before = game_state;
    int status = 0;
    for (auto _ : state) {
        vondBench::openScriptHost();
        status |= lua_dofile(game_state, "scripts/monkey.lua");
        state.PauseTiming();
        lua_close(game_state);
        state.ResumeTiming();
    }
    game_state = before;
    if (chdir(previous) != 0) state.SkipWithError("cannot go back");
    int images = 0, maps = 0;
    for (int i = 0; i < IMAGES; ++i)
        images += vondImageStore[i] ? 1 : 0;
    for (int m = 0; m < MAPS; ++m)
        maps += KAV_TilemapStore[m] ? 1 : 0;
    state.counters["images"] = images;
    state.counters["maps"] = maps;
    state.counters["script_status"] = status;
}
// Each run loads the whole game again over what the run before loaded; a few
// runs are enough.
BENCHMARK(BM_Startup_LargeGame)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
