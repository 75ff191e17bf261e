// The twelve sm_ script functions over the state-machine registry.
#pragma once

#include "lua40/lua40.h"

// Registers the sm_ functions as globals of L; returns 0.
int l_StateMachineInit(lua_State* L);
