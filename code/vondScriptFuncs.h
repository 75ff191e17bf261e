// The engine's script functions: the 44 Lua globals through which game
// scripts drive the engine, and the functions added beside them. Each reads
// its arguments through vondArgs.
#pragma once

#include "lua40/lua40.h"
#include "vondArgs.h"

// Installs the 44 functions as globals of game_state, in their fixed order,
// then the added ones.
void vondRegisterFuncs();

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
