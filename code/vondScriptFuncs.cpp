// Registration of the engine's script functions and the argument conventions
// every one of them follows.
#include "vondScriptFuncs.h"

#include "vondGlobals.h"

#include <cmath>
#include <cstdint>

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

// Truncates toward zero into 64 bits; NaN and values beyond 64 bits read as 0.
int64_t truncate64(double d) {
    if (std::isnan(d) || d >= 9.2e18 || d <= -9.2e18) return 0;
    return static_cast<int64_t>(d);
}

} // namespace

void vondRegisterFuncs() {
    for (const auto& f : scriptFuncs) {
        lua_pushcclosure(game_state, f.function, 0);
        lua_setglobal(game_state, f.name);
    }
}

int vondToInt(double d) { return static_cast<int32_t>(static_cast<uint32_t>(truncate64(d))); }
unsigned vondToUnsigned(double d) { return static_cast<uint32_t>(truncate64(d)); }
unsigned char vondToByte(double d) { return static_cast<unsigned char>(truncate64(d) & 0xFF); }

vondArgs::vondArgs(lua_State* L, int count, Direction direction)
    : L(L), count(count), direction(direction), top(lua_gettop(L)) {}

int vondArgs::index(int k) const {
    int i = direction == FROM_FIRST ? k : top + k - count;
    return i >= 1 && i <= top ? i : 0;
}

double vondArgs::number(int k) const {
    int i = index(k);
    if (i == 0) return 0;
    if (lua_type(L, i) == LUA_TBOOLEAN) return lua_toboolean(L, i) ? 1 : 0;
    return lua_tonumber(L, i);
}

int vondArgs::toInt(int k) const { return vondToInt(number(k)); }
unsigned vondArgs::toUnsigned(int k) const { return vondToUnsigned(number(k)); }
unsigned char vondArgs::toByte(int k) const { return vondToByte(number(k)); }

std::string vondArgs::text(int k) const {
    int i = index(k);
    if (i == 0) return std::string();
    const char* s = lua_tostring(L, i);
    return s != nullptr ? std::string(s, lua_objlen(L, i)) : std::string();
}

int vondReturnNumber(lua_State* L, double n) {
    lua_pushnumber(L, n);
    return 1;
}

bool vondCheckRange(const char* function, const char* what, long n, long capacity) {
    if (n >= 0 && n < capacity) return true;
    vondError << function << ": " << what << " " << n << " is out of range" << std::endl;
    return false;
}
