#include "vondSceneFixture.h"

#include "KAV_Tilemap.h"
#include "vondGlobals.h"
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondScriptHost.h"
#include "vondStores.h"

const Uint32 SCENE_COLOURS[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

std::string exampleMap(const std::string& picture, int firstAttribute) {
    return "KAVMAP1\nTILESET\nid 0\nimage " + picture +
           "\nkey 255 0 255\nMAP\nid 1\nwidth 2\nheight 2\ncells\n0 0\ntile 0\ncollide 0\n"
           "attribute " +
           std::to_string(firstAttribute) +
           "\n1 0\ntile 1\ncollide 1\nattribute 0\n0 1\ntile -1\ncollide 0\nattribute 0\n"
           "1 1\ntile 1\ncollide 0\nattribute 0\n\n";
}

SDL_Surface* displaySurface() {
    if (SDL_GetVideoSurface() == nullptr) {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        SDL_SetVideoMode(640, 480, 32, 0);
    }
    return SDL_GetVideoSurface();
}

void SceneTest::SetUp() {
    vondClearStores();
    vondError.close();
    vondError.clear();
    vondError.open(dir.file("vonderror.log"), std::ios::out | std::ios::trunc);
}

void SceneTest::TearDown() {
    vondError.close();
    // A test releases what it made: its maps and what the stores hold.
    maps.clear();
    vondClearStores();
}

std::vector<std::string> SceneTest::logLines() {
    vondError.flush();
    return lines(dir.read("vonderror.log"));
}

KAV_Tilemap* SceneTest::read(const std::string& text, const std::string& name) {
    dir.write(name, text);
    return keep(new KAV_Tilemap(dir.file(name).c_str()));
}

KAV_Tilemap* SceneTest::keep(KAV_Tilemap* map) {
    maps.emplace_back(map);
    return map;
}

std::string mapText(int tileset, const std::string& picture, int number, int w, int h,
                    int attribute, std::function<int(int, int)> tile, const std::string& key) {
    std::string text = "KAVMAP1\nTILESET\nid " + std::to_string(tileset) + "\nimage " + picture +
                       "\nkey " + key + "\nMAP\nid " + std::to_string(number) + "\nwidth " +
                       std::to_string(w) + "\nheight " + std::to_string(h) + "\ncells\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (tile(x, y) >= -1)
                text += std::to_string(x) + " " + std::to_string(y) + "\ntile " +
                        std::to_string(tile(x, y)) + "\ncollide 0\nattribute " +
                        std::to_string(x + y == 0 ? attribute : 0) + "\n";
    return text + "\n";
}

KAV_Tilemap* SceneTest::makeMap(int number, int w, int h, int attribute,
                                std::function<int(int, int)> tile) {
    if (!dir.exists("scene-tiles.bmp"))
        writeSheet(dir.file("scene-tiles.bmp"), 128, 32, {SCENE_COLOURS, SCENE_COLOURS + 4});
    return read(mapText(0, dir.file("scene-tiles.bmp"), number, w, h, attribute, tile),
                "map" + std::to_string(number) + ".txt");
}

ScriptedEngine::ScriptedEngine() {
    game_state = lua_open(0);
    lua_baselibopen(game_state);
    vondRegisterFuncs();
    gfx.mouseUp();
}

ScriptedEngine::~ScriptedEngine() {
    gfx.DestroyAll();
    for (int id = 0; id < 100; ++id)
        gfx.delTimedEvent(id);
    gfx.Update(0);
    gfx.mouseUp();
    lua_close(game_state);
    game_state = nullptr;
}

void ScriptedEngine::run(const std::string& lua) {
    EXPECT_EQ(lua_dostring(game_state, lua.c_str()), 0) << lua;
}

double ScriptedEngine::number(const char* global) {
    lua_getglobal(game_state, global);
    double v = lua_tonumber(game_state, -1);
    lua_pop(game_state, 1);
    return v;
}

std::string ScriptedEngine::text(const char* global) {
    lua_getglobal(game_state, global);
    const char* s = lua_tostring(game_state, -1);
    std::string v = s != nullptr ? s : "";
    lua_pop(game_state, 1);
    return v;
}
