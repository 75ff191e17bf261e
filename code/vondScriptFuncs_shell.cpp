// Script functions of the application shell, added beside the engine's 44:
// setDeveloperKeys, with which a finished game turns the developer keys off.
#include "vondScriptFuncs.h"
#include "vondShell.h"

// setDeveloperKeys(on): 0 turns every developer key off, any other number on.
int l_setDeveloperKeys(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    vondSetDeveloperKeys(a.toInt(1) != 0);
    return 0;
}
