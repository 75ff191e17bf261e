// Script functions for fonts, strings and windows: each reads its arguments,
// checks every store index and window kind, and calls the engine, a window or
// a store.
#include "KAV_Font.h"
#include "vondGlobals.h"
#include "vondImageGuard.h"
#include "vondLog.h"
#include "vondScriptFuncs.h"
#include "vondStores.h"
#include "vondWindow2.h"

#include <SDL_image.h>

namespace {

// Far more buttons than a window can show; the selection wraps as one byte.
constexpr int MAX_RADIO_BUTTONS = 65536;

// The functions that change a window do nothing, and say nothing, when no
// window has the identifier or it is not of the kind they need.
vondTextWin* findTextWindow(int id) {
    vondWindow2* w = gfx.getWindowHandle(id);
    return w != nullptr && w->getWinType() == vondWindow2::TEXT_WINDOW
               ? static_cast<vondTextWin*>(w)
               : nullptr;
}

} // namespace

int l_addFont(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int f = a.toByte(1);
    std::string file = a.text(2);
    int image = VOND_FONT_IMAGE_BASE + f;
    // Stored like any image; fonts look their picture up by number, so the
    // picture it replaces is released unless something else still holds it.
    KAV_StoreImage(image, vondLoadImage(file.c_str()));
    // A new font: text windows made before keep drawing with the one they took.
    auto* font = new KAV_Font(image);
    vondStoreFont(f, font);
    return 0;
}

int l_addString(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    int n = a.toInt(1);
    if (!vondCheckRange("addString", "string number", n, VOND_STRING_STORE_SIZE)) return 0;
    vondStringStore[n] = a.text(2);
    return 0;
}

int l_newTxtWin(lua_State* L) {
    vondArgs a(L, 6, vondArgs::FROM_LAST);
    // A string number outside the store gives a window without text.
    gfx.NewTxtWin(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(1), a.toInt(6));
    return 0;
}

int l_newPicWin(lua_State* L) {
    vondArgs a(L, 4, vondArgs::FROM_LAST);
    // An image number outside the store is reported like an empty one.
    gfx.NewPicWin(a.toInt(2), a.toInt(3), a.toInt(1), a.toInt(4));
    return 0;
}

int l_setTxtString(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondTextWin* w = findTextWindow(a.toInt(1))) w->setString(a.text(2));
    return 0;
}

int l_setTxtBD(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondTextWin* w = findTextWindow(a.toInt(1))) w->setBD(a.toUnsigned(2));
    return 0;
}

int l_setWinFlags(lua_State* L) {
    vondArgs a(L, 2, vondArgs::FROM_LAST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->setFlags(a.toUnsigned(2));
    return 0;
}

int l_winToggleHid(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->ToggleHidden();
    return 0;
}

int l_moveWinBy(lua_State* L) {
    vondArgs a(L, 3, vondArgs::FROM_FIRST);
    if (vondWindow2* w = gfx.getWindowHandle(a.toInt(1))) w->MoveBy(a.toInt(2), a.toInt(3));
    return 0;
}

int l_delWin(lua_State* L) {
    vondArgs a(L, 1, vondArgs::FROM_LAST);
    // The number as the script gave it, in the stream's default form (2.5 stays 2.5).
    vondLog("Deleting Window: ", a.number(1));
    gfx.DestroyWin(a.toInt(1));
    return 0;
}

int l_winTimedMove(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_FIRST);
    int id = a.toInt(1);
    vondLog("Moving window: ", id);
    vondWindow2* w = gfx.getWindowHandle(id);
    if (w == nullptr) {
        vondLog("Asked to timed move nonexistant window: ", id);
        return 0;
    }
    w->TimedMoveBy(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5));
    return 0;
}

int l_newRadButton(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_FIRST);
    gfx.NewRadWin(a.toInt(2), a.toInt(3), a.toInt(4), a.toInt(5), a.toInt(1));
    return 0;
}

int l_setRadButtons(lua_State* L) {
    vondArgs a(L, 4, vondArgs::FROM_FIRST);
    int id = a.toInt(1);
    int count = a.toInt(2);
    vondWindow2* w = gfx.getWindowHandle(id);
    if (w == nullptr) {
        vondLog("Asked to set buttons on nonexistant window: ", id);
        return 0;
    }
    if (w->getWinType() != vondWindow2::RADIO_WINDOW) {
        vondLog("Asked to set buttons on non-button window: ", id);
        return 0;
    }
    if (!vondCheckRange("setRadButtons", "button count", count, MAX_RADIO_BUTTONS + 1)) return 0;
    // Coordinates the script left out read as 0.
    unsigned short* positions = new unsigned short[2 * count + 1];
    for (int i = 0; i < count; ++i) {
        positions[2 * i] = static_cast<unsigned short>(a.toInt(5 + 2 * i));
        positions[2 * i + 1] = static_cast<unsigned short>(a.toInt(6 + 2 * i));
    }
    static_cast<vondRadioBWin*>(w)->setButton(count, a.toInt(3), a.toInt(4), positions);
    return 0;
}
