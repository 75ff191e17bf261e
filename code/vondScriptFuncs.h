// The engine's script functions: the 44 Lua globals through which game
// scripts drive the engine, the functions added beside them, and the argument
// conventions they all share.
#pragma once

#include "lua40/lua40.h"

#include <cmath>
#include <cstdint>
#include <string>

// Installs the 44 functions as globals of game_state, in their fixed order,
// then the added ones.
void vondRegisterFuncs();

// Arguments of one script function call, located from the first or the last
// argument. A missing number reads as 0, a missing text as the empty string;
// a boolean reads as 1 or 0, the values 4.0 scripts use as flags.
class vondArgs {
  public:
    enum Direction { FROM_FIRST, FROM_LAST };

    vondArgs(lua_State* L, int count, Direction direction)
        : L(L), count(count), direction(direction), top(lua_gettop(L)) {}

    bool has(int k) const { return index(k) != 0; }
    // Inline: every script function reads its numbers through these.
    double number(int k) const {
        int i = index(k);
        if (i == 0) return 0;
        double d = lua_tonumber(L, i);
        // Booleans read as 0 here; only then is the type worth asking.
        if (d == 0 && lua_type(L, i) == LUA_TBOOLEAN) return lua_toboolean(L, i) ? 1 : 0;
        return d;
    }
    int toInt(int k) const;
    unsigned toUnsigned(int k) const;
    unsigned char toByte(int k) const;
    std::string text(int k) const;
    int passed() const { return top; }

  private:
    // Stack index of argument k (1-based), or 0 when it was not passed.
    int index(int k) const {
        int i = direction == FROM_FIRST ? k : top + k - count;
        return i >= 1 && i <= top ? i : 0;
    }

    lua_State* L;
    int count;
    Direction direction;
    int top;
};

// Truncates toward zero into 64 bits; NaN and values beyond 64 bits read as 0.
inline int64_t vondTruncate64(double d) {
    if (std::isnan(d) || d >= 9.2e18 || d <= -9.2e18) return 0;
    return static_cast<int64_t>(d);
}

// Number conversions of the script interface, by truncation toward zero.
inline int vondToInt(double d) {
    return static_cast<int32_t>(static_cast<uint32_t>(vondTruncate64(d)));
}
inline unsigned vondToUnsigned(double d) {
    return static_cast<uint32_t>(vondTruncate64(d));
}
inline unsigned char vondToByte(double d) {
    return static_cast<unsigned char>(vondTruncate64(d) & 0xFF);
}

inline int vondArgs::toInt(int k) const {
    return vondToInt(number(k));
}
inline unsigned vondArgs::toUnsigned(int k) const {
    return vondToUnsigned(number(k));
}
inline unsigned char vondArgs::toByte(int k) const {
    return vondToByte(number(k));
}

// Frees every loaded song and sound (the exit routine, before closing audio:
// the tracker decoder loses track of modules still loaded when it shuts down).
void vondReleaseSongsAndSounds();

// Pushes the one numeric result of a script function; returns 1.
inline int vondReturnNumber(lua_State* L, double n) {
    lua_pushnumber(L, n);
    return 1;
}

// True when 0 <= n < capacity; otherwise writes "<function>: <what> <n> is out
// of range" to the log, and the caller ignores the call.
bool vondCheckRange(const char* function, const char* what, long n, long capacity);

// The 44 functions, in registration order.
int l_addImage(lua_State* L);
int l_addFont(lua_State* L);
int l_addSprite(lua_State* L);
int l_loadMap(lua_State* L);
int l_setBlackEdge(lua_State* L);
int l_setWrap(lua_State* L);
int l_setBlank(lua_State* L);
int l_setLayerProperty(lua_State* L);
int l_setTilemap(lua_State* L);
int l_setLPointer(lua_State* L);
int l_toggleLayer(lua_State* L);
int l_toggleSLayer(lua_State* L);
int l_placeSprite(lua_State* L);
int l_MoveLPointer(lua_State* L);
int l_addString(lua_State* L);
int l_newTxtWin(lua_State* L);
int l_newPicWin(lua_State* L);
int l_setTxtString(lua_State* L);
int l_setTxtBD(lua_State* L);
int l_setWinFlags(lua_State* L);
int l_winToggleHid(lua_State* L);
int l_getLayerX(lua_State* L);
int l_getLayerY(lua_State* L);
int l_moveWinBy(lua_State* L);
int l_addTimedEvent(lua_State* L);
int l_delTimedEvent(lua_State* L);
int l_DestroyAll(lua_State* L);
int l_errorMsg(lua_State* L);
int l_delWin(lua_State* L);
int l_loadSong(lua_State* L);
int l_playSong(lua_State* L);
int l_loadSound(lua_State* L);
int l_playSound(lua_State* L);
int l_stopMusic(lua_State* L);
int l_newClickH(lua_State* L);
int l_delClickH(lua_State* L);
int l_getSpriteX(lua_State* L);
int l_getSpriteY(lua_State* L);
int l_delSprite(lua_State* L);
int l_moveSprite(lua_State* L);
int l_setLayerPic(lua_State* L);
int l_winTimedMove(lua_State* L);
int l_newRadButton(lua_State* L);
int l_setRadButtons(lua_State* L);

// Added beside the 44, registered after them.
int l_setDeveloperKeys(lua_State* L);
