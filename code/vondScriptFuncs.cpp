// Registration of the engine's script functions, and the range check they share.
#include "vondScriptFuncs.h"

#include "vondLog.h"
#include "vondScriptHost.h"

#include <iterator>

namespace {

struct vondScriptFunc {
    const char* name;
    lua_CFunction function;
};

// Registration order is part of the interface: scripts and tools may list them.
const vondScriptFunc scriptFuncs[] = {
    {"addImage", l_addImage},         {"addFont", l_addFont},
    {"addSprite", l_addSprite},       {"loadMap", l_loadMap},
    {"setBlackEdge", l_setBlackEdge}, {"setWrap", l_setWrap},
    {"setBlank", l_setBlank},         {"setLayerProperty", l_setLayerProperty},
    {"setTilemap", l_setTilemap},     {"setLPointer", l_setLPointer},
    {"toggleLayer", l_toggleLayer},   {"toggleSLayer", l_toggleSLayer},
    {"placeSprite", l_placeSprite},   {"MoveLPointer", l_MoveLPointer},
    {"addString", l_addString},       {"newTxtWin", l_newTxtWin},
    {"newPicWin", l_newPicWin},       {"setTxtString", l_setTxtString},
    {"setTxtBD", l_setTxtBD},         {"setWinFlags", l_setWinFlags},
    {"winToggleHid", l_winToggleHid}, {"getLayerX", l_getLayerX},
    {"getLayerY", l_getLayerY},       {"moveWinBy", l_moveWinBy},
    {"addTimedEvent", l_addTimedEvent}, {"delTimedEvent", l_delTimedEvent},
    {"DestroyAll", l_DestroyAll},     {"errorMsg", l_errorMsg},
    {"delWin", l_delWin},             {"loadSong", l_loadSong},
    {"playSong", l_playSong},         {"loadSound", l_loadSound},
    {"playSound", l_playSound},       {"stopMusic", l_stopMusic},
    {"newClickH", l_newClickH},       {"delClickH", l_delClickH},
    {"getSpriteX", l_getSpriteX},     {"getSpriteY", l_getSpriteY},
    {"delSprite", l_delSprite},       {"moveSprite", l_moveSprite},
    {"setLayerPic", l_setLayerPic},   {"winTimedMove", l_winTimedMove},
    {"newRadButton", l_newRadButton}, {"setRadButtons", l_setRadButtons},
};
static_assert(sizeof scriptFuncs / sizeof scriptFuncs[0] == 44, "the engine has 44 functions");

// Functions a game needs beyond the 44, kept apart so that the 44 stay as they are.
const vondScriptFunc addedFuncs[] = {
    {"setDeveloperKeys", l_setDeveloperKeys},
};

void registerAll(const vondScriptFunc* first, const vondScriptFunc* last) {
    for (const vondScriptFunc* f = first; f != last; ++f)
        lua_register(game_state, f->name, f->function);
}

} // namespace

void vondRegisterFuncs() {
    registerAll(std::begin(scriptFuncs), std::end(scriptFuncs));
    registerAll(std::begin(addedFuncs), std::end(addedFuncs));
}

bool vondCheckRange(const char* function, const char* what, long n, long capacity) {
    if (n >= 0 && n < capacity) return true;
    vondLog(function, ": ", what, " ", n, " is out of range");
    return false;
}
