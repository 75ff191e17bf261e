// Lua glue of the state machine: reads the arguments of the sm_ functions,
// counted back from the last one given, and calls the registry.
//
// A call with fewer arguments than the function reads, with an argument that
// is neither text nor a number where text is expected, or with a handle that
// sm_createEvent never gave, is passed over without any change and returns no
// result (the script sees nil). No Lua error is raised.
#include "stateMachine/statemachine_binding.h"

#include "event/event.h"
#include "saveload/saveload.h"
#include "stateMachine/statemachine.h"
#include "vondLog.h"

#include <list>
#include <string>
#include <vector>

namespace {

// Events made by sm_createEvent, never destroyed: handle h denotes entry h - 1,
// so 0 (and nil) is never a handle.
std::vector<Event> scriptEvents;

// Argument `fromLast` counted back from the last one (1 is the last). Numbers
// arrive as Lua's text of the number.
bool readText(lua_State* L, int fromLast, std::string& text) {
    const int index = -fromLast;
    if (lua_type(L, index) != LUA_TSTRING && lua_type(L, index) != LUA_TNUMBER) return false;
    text = lua_tostring(L, index);
    return true;
}

// The event a handle argument denotes, the handle truncated toward zero; null
// when the argument is no handle.
Event* readEvent(lua_State* L, int fromLast, int* handle = nullptr) {
    const int index = -fromLast;
    if (lua_type(L, index) != LUA_TNUMBER && lua_type(L, index) != LUA_TSTRING) return nullptr;
    const double number = lua_tonumber(L, index); // 0 for text that is no number
    if (!(number >= 1.0 && number < static_cast<double>(scriptEvents.size()) + 1.0)) return nullptr;
    const int h = static_cast<int>(number);
    if (handle != nullptr) *handle = h;
    return &scriptEvents[h - 1];
}

int l_sm_createNetwork(lua_State* L) {
    std::string name;
    if (lua_gettop(L) >= 1 && readText(L, 1, name)) StateMachine::Instance()->createNetwork(name);
    return 0;
}

int l_sm_removeNetwork(lua_State* L) {
    std::string name;
    if (lua_gettop(L) >= 1 && readText(L, 1, name)) StateMachine::Instance()->removeNetwork(name);
    return 0;
}

int l_sm_createNode(lua_State* L) {
    std::string parent, child;
    if (lua_gettop(L) >= 2 && readText(L, 2, parent) && readText(L, 1, child))
        StateMachine::Instance()->createNode(parent, child);
    return 0;
}

int l_sm_removeNode(lua_State* L) {
    std::string path;
    if (lua_gettop(L) >= 1 && readText(L, 1, path)) StateMachine::Instance()->removeNode(path);
    return 0;
}

int l_sm_getNode(lua_State* L) {
    std::string path;
    if (lua_gettop(L) < 1 || !readText(L, 1, path)) return 0;
    lua_pushstring(L, StateMachine::Instance()->getNode(path).c_str());
    return 1;
}

int l_sm_putNode(lua_State* L) {
    std::string path, value;
    if (lua_gettop(L) >= 2 && readText(L, 2, path) && readText(L, 1, value))
        StateMachine::Instance()->putNode(path, value);
    return 0;
}

int l_sm_traceOut(lua_State* L) {
    std::string name;
    if (lua_gettop(L) >= 1 && readText(L, 1, name)) StateMachine::Instance()->traceOut(name);
    return 0;
}

int l_sm_attachEvent(lua_State* L) {
    std::string path;
    if (lua_gettop(L) < 2 || !readText(L, 2, path)) return 0;
    if (Event* event = readEvent(L, 1)) StateMachine::Instance()->attachEvent(path, *event);
    return 0;
}

// Type text, fire value, action arguments, one-shot text. An unknown type word
// makes no event, so the script gets no handle to use.
int l_sm_createEvent(lua_State* L) {
    const int n = lua_gettop(L);
    if (n < 3) return 0;
    std::string type, fireValue, oneShot;
    if (!readText(L, n, type) || !readText(L, n - 1, fireValue) || !readText(L, 1, oneShot))
        return 0;
    std::list<std::string> actionArgs;
    for (int fromLast = n - 2; fromLast >= 2; --fromLast) {
        std::string argument;
        if (!readText(L, fromLast, argument)) return 0;
        actionArgs.push_back(argument);
    }
    if (!Event::isEventType(type)) return 0;
    scriptEvents.emplace_back(type, fireValue, actionArgs, oneShot == "true");
    lua_pushnumber(L, static_cast<lua_Number>(scriptEvents.size()));
    return 1;
}

// Parent handle, then child handles; copies of the children, taken now, go to
// the end of the parent's chain. Any bad handle refuses the whole call, and
// so does a chain grown past MAX_CHAINED_EVENTS: chaining an event to itself
// doubles it, and a loop of such calls would exhaust memory.
int l_sm_chainEvent(lua_State* L) {
    constexpr size_t MAX_CHAINED_EVENTS = 4096;
    const int n = lua_gettop(L);
    if (n < 2) return 0;
    int parentHandle = 0;
    const Event* parent = readEvent(L, n, &parentHandle);
    if (parent == nullptr) return 0;
    size_t total = parent->eventCount();
    std::list<Event> copies;
    for (int fromLast = n - 1; fromLast >= 1; --fromLast) {
        const Event* child = readEvent(L, fromLast);
        if (child == nullptr) return 0;
        total += child->eventCount();
        if (total > MAX_CHAINED_EVENTS) return 0;
        copies.push_back(*child);
    }
    scriptEvents[parentHandle - 1].chainEvent(copies);
    lua_pushnumber(L, parentHandle);
    return 1;
}

// Network names, then the file name; networks are added in reverse call order.
int l_sm_save(lua_State* L) {
    const int n = lua_gettop(L);
    if (n < 1) return 0;
    std::string fileName;
    std::vector<std::string> names;
    if (!readText(L, 1, fileName)) return 0;
    for (int fromLast = 2; fromLast <= n; ++fromLast) {
        std::string name;
        if (!readText(L, fromLast, name)) return 0;
        names.push_back(name);
    }
    // A name that no network has (a typing slip, most likely) is reported and
    // skipped; when nothing at all is left to save, the file is not touched,
    // so that such a slip never replaces a good save with an empty one.
    SaveLoad store;
    for (const std::string& name : names)
        if (!StateMachine::Instance()->saveNetwork(name, store))
            vondWarn("sm_save: no network '", name, "' to save");
    if (names.empty()) vondWarn("sm_save: no network named; '", fileName, "' left as it was");
    if (store.size() == 0) return 0;
    store.save(fileName);
    return 0;
}

int l_sm_load(lua_State* L) {
    std::string networkName, fileName;
    if (lua_gettop(L) < 2 || !readText(L, 2, networkName) || !readText(L, 1, fileName)) return 0;
    SaveLoad store;
    store.load(fileName);
    StateMachine::Instance()->loadNetwork(networkName, store);
    return 0;
}

void registerFunction(lua_State* L, const char* name, lua_CFunction function) {
    lua_pushcclosure(L, function, 0);
    lua_setglobal(L, name);
}

} // namespace

int l_StateMachineInit(lua_State* L) {
    registerFunction(L, "sm_createNetwork", l_sm_createNetwork);
    registerFunction(L, "sm_removeNetwork", l_sm_removeNetwork);
    registerFunction(L, "sm_createNode", l_sm_createNode);
    registerFunction(L, "sm_removeNode", l_sm_removeNode);
    registerFunction(L, "sm_getNode", l_sm_getNode);
    registerFunction(L, "sm_putNode", l_sm_putNode);
    registerFunction(L, "sm_traceOut", l_sm_traceOut);
    registerFunction(L, "sm_attachEvent", l_sm_attachEvent);
    registerFunction(L, "sm_createEvent", l_sm_createEvent);
    registerFunction(L, "sm_chainEvent", l_sm_chainEvent);
    registerFunction(L, "sm_save", l_sm_save);
    registerFunction(L, "sm_load", l_sm_load);
    return 0;
}
