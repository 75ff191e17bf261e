// PLACEHOLDER until the state machine lands.
#pragma once
#include "lua40/lua40.h"
int l_StateMachineInit(lua_State* L);
