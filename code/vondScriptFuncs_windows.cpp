// PLACEHOLDER until this family of script functions lands: keeps the engine linkable.
#include "vondScriptFuncs.h"

int l_addFont(lua_State*) { return 0; }
int l_addString(lua_State*) { return 0; }
int l_newTxtWin(lua_State*) { return 0; }
int l_newPicWin(lua_State*) { return 0; }
int l_setTxtString(lua_State*) { return 0; }
int l_setTxtBD(lua_State*) { return 0; }
int l_setWinFlags(lua_State*) { return 0; }
int l_winToggleHid(lua_State*) { return 0; }
int l_moveWinBy(lua_State*) { return 0; }
int l_addTimedEvent(lua_State*) { return 0; }
int l_delTimedEvent(lua_State*) { return 0; }
int l_DestroyAll(lua_State*) { return 0; }
int l_errorMsg(lua_State*) { return 0; }
int l_delWin(lua_State*) { return 0; }
int l_loadSong(lua_State*) { return 0; }
int l_playSong(lua_State*) { return 0; }
int l_loadSound(lua_State*) { return 0; }
int l_playSound(lua_State*) { return 0; }
int l_stopMusic(lua_State*) { return 0; }
int l_newClickH(lua_State*) { return 0; }
int l_delClickH(lua_State*) { return 0; }
int l_winTimedMove(lua_State*) { return 0; }
int l_newRadButton(lua_State*) { return 0; }
int l_setRadButtons(lua_State*) { return 0; }
