// PLACEHOLDER until this family of script functions lands: keeps the engine linkable.
#include "vondScriptFuncs.h"

int l_addImage(lua_State*) { return 0; }
int l_addSprite(lua_State*) { return 0; }
int l_loadMap(lua_State*) { return 0; }
int l_setBlackEdge(lua_State*) { return 0; }
int l_setWrap(lua_State*) { return 0; }
int l_setBlank(lua_State*) { return 0; }
int l_setLayerProperty(lua_State*) { return 0; }
int l_setTilemap(lua_State*) { return 0; }
int l_setLPointer(lua_State*) { return 0; }
int l_toggleLayer(lua_State*) { return 0; }
int l_toggleSLayer(lua_State*) { return 0; }
int l_placeSprite(lua_State*) { return 0; }
int l_MoveLPointer(lua_State*) { return 0; }
int l_getLayerX(lua_State*) { return 0; }
int l_getLayerY(lua_State*) { return 0; }
int l_getSpriteX(lua_State*) { return 0; }
int l_getSpriteY(lua_State*) { return 0; }
int l_delSprite(lua_State*) { return 0; }
int l_moveSprite(lua_State*) { return 0; }
int l_setLayerPic(lua_State*) { return 0; }
