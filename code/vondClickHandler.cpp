// Click handlers: invisible screen rectangles that run a script when clicked.
#include "vondLog.h"
#include "vondScriptHost.h"
#include "vondWindow2.h"

vondClickHandler::vondClickHandler(int x1, int y1, int x2, int y2, unsigned ID,
                                   VOND_HANDLER_TYPE type)
    : ID(ID), type(type), x1(x1), y1(y1), x2(x2), y2(y2) {
    vondLog("Click handler: ", ID, " created.");
}

bool vondClickHandler::isIn(int x, int y) const {
    vondLog("Testing coordinates!", x, ",", y);
    return x1 <= x && x <= x2 && y1 <= y && y <= y2;
}

void vondClickHandler::doInput(unsigned value) {
    if (dead) return;
    if (type == HANDLER_FUNCTION) {
        if (callback != nullptr) callback(value);
        return;
    }
    if (script.empty()) return;
    // The script may destroy this handler: run from copies, touch nothing after.
    const std::string source = script;
    if (type == HANDLER_SCRIPT_FILE)
        vondRunScriptFile(source.c_str());
    else if (type == HANDLER_SCRIPT_STRING)
        vondRunScriptText(source.c_str());
}
