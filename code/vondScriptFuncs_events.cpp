// Script functions for timed events, click handlers, the log and clearing
// the scene.
#include "vondGlobals.h"
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondWindow2.h"

int l_addTimedEvent(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_LAST);
    std::string command = a.text(5);
    int time = a.toInt(4);
    unsigned source = a.toUnsigned(3);
    unsigned type = a.toUnsigned(2);
    int id = a.toInt(1);
    auto* e =
        new vondEngine2::vondTimedEvent(static_cast<unsigned>(id), static_cast<VOND_EVENT>(type),
                                        static_cast<VOND_EVENT_SOURCE>(source), time, command);
    // Left open: the next message continues this line.
    vondLogOpen("Adding event: ", id, " with command: ", command);
    gfx.addTimedEvent(e);
    vondLog("Event: ", e->getID(), " added!");
    return 0;
}

int l_delTimedEvent(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_FIRST);
    gfx.delTimedEvent(a.toInt(1));
    return 0;
}

int l_DestroyAll(lua_State*) {
    gfx.DestroyAll();
    return 0;
}

int l_errorMsg(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    vondLog(a.text(1));
    return 0;
}

int l_newClickH(lua_State* L) {
    vondArgs a(L, 6, vondArgs::FROM_FIRST);
    int x1 = a.toInt(1), y1 = a.toInt(2), x2 = a.toInt(3), y2 = a.toInt(4);
    auto* h = new vondClickHandler(x1, y1, x2, y2, static_cast<unsigned>(a.toInt(5)),
                                   HANDLER_SCRIPT_STRING);
    h->setScript(a.text(6));
    gfx.addClickHandler(h);
    vondLog("New Click Handler: ", x1, ",", y1, " ", x2, ",", y2);
    return 0;
}

int l_delClickH(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    gfx.delClickHandler(a.toInt(1));
    return 0;
}
