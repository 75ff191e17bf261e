// Lua glue of the state machine: reads the arguments of the sm_ functions
// through vondArgs (a fixed number of them counted back from the last one
// given) and calls the registry.
//
// A call with fewer arguments than the function reads, with an argument that
// is neither text nor a number where text is expected, or with a handle that
// sm_createEvent never gave, is passed over without any change and returns no
// result (the script sees nil). No Lua error is raised.
#include "stateMachine/statemachine_binding.h"

#include "event/event.h"
#include "saveload/saveload.h"
#include "stateMachine/statemachine.h"
#include "vondArgs.h"
#include "vondLog.h"

#include <list>
#include <string>
#include <vector>

namespace {

// Events made by sm_createEvent, never destroyed: handle h denotes entry h - 1,
// so 0 (and nil) is never a handle.
std::vector<Event> scriptEvents;

// The event a handle argument denotes, the handle truncated toward zero; null
// when the argument is no handle.
Event* readEvent(const vondArgs& a, int k, int* handle = nullptr) {
    if (!a.isText(k)) return nullptr;
    const double number = a.number(k); // 0 for text that is no number
    if (!(number >= 1.0 && number < static_cast<double>(scriptEvents.size()) + 1.0)) return nullptr;
    const int h = static_cast<int>(number);
    if (handle != nullptr) *handle = h;
    return &scriptEvents[h - 1];
}

constexpr vondArgs::Direction LAST = vondArgs::FROM_LAST;

int l_sm_createNetwork(lua_State* L) {
    std::string name;
    if (vondArgs(L, 1, LAST).readText(1, name)) StateMachine::Instance()->createNetwork(name);
    return 0;
}

int l_sm_removeNetwork(lua_State* L) {
    std::string name;
    if (vondArgs(L, 1, LAST).readText(1, name)) StateMachine::Instance()->removeNetwork(name);
    return 0;
}

int l_sm_createNode(lua_State* L) {
    std::string parent, child;
    vondArgs a(L, 2, LAST);
    if (a.readText(1, parent) && a.readText(2, child))
        StateMachine::Instance()->createNode(parent, child);
    return 0;
}

int l_sm_removeNode(lua_State* L) {
    std::string path;
    if (vondArgs(L, 1, LAST).readText(1, path)) StateMachine::Instance()->removeNode(path);
    return 0;
}

int l_sm_getNode(lua_State* L) {
    std::string path;
    if (!vondArgs(L, 1, LAST).readText(1, path)) return 0;
    lua_pushstring(L, StateMachine::Instance()->getNode(path).c_str());
    return 1;
}

int l_sm_putNode(lua_State* L) {
    std::string path, value;
    vondArgs a(L, 2, LAST);
    if (a.readText(1, path) && a.readText(2, value)) StateMachine::Instance()->putNode(path, value);
    return 0;
}

int l_sm_traceOut(lua_State* L) {
    std::string name;
    if (vondArgs(L, 1, LAST).readText(1, name)) StateMachine::Instance()->traceOut(name);
    return 0;
}

int l_sm_attachEvent(lua_State* L) {
    std::string path;
    vondArgs a(L, 2, LAST);
    if (!a.readText(1, path)) return 0;
    if (Event* event = readEvent(a, 2)) StateMachine::Instance()->attachEvent(path, *event);
    return 0;
}

// Type text, fire value, action arguments, one-shot text. An unknown type word
// makes no event, so the script gets no handle to use.
int l_sm_createEvent(lua_State* L) {
    vondArgs a(L, 0, vondArgs::FROM_FIRST);
    const int n = a.passed();
    if (n < 3) return 0;
    std::string type, fireValue, oneShot;
    if (!a.readText(1, type) || !a.readText(2, fireValue) || !a.readText(n, oneShot)) return 0;
    std::list<std::string> actionArgs;
    for (int k = 3; k <= n - 1; ++k) {
        std::string argument;
        if (!a.readText(k, argument)) return 0;
        actionArgs.push_back(argument);
    }
    if (!Event::isEventType(type)) return 0;
    scriptEvents.emplace_back(type, fireValue, actionArgs, oneShot == "true");
    lua_pushnumber(L, static_cast<double>(scriptEvents.size()));
    return 1;
}

// Parent handle, then child handles; copies of the children, taken now, go to
// the end of the parent's chain. Any bad handle refuses the whole call, and
// so does a chain grown past MAX_CHAINED_EVENTS: chaining an event to itself
// doubles it, and a loop of such calls would exhaust memory.
int l_sm_chainEvent(lua_State* L) {
    constexpr size_t MAX_CHAINED_EVENTS = 4096;
    vondArgs a(L, 0, vondArgs::FROM_FIRST);
    const int n = a.passed();
    if (n < 2) return 0;
    int parentHandle = 0;
    const Event* parent = readEvent(a, 1, &parentHandle);
    if (parent == nullptr) return 0;
    size_t total = parent->eventCount();
    std::list<Event> copies;
    for (int k = 2; k <= n; ++k) {
        const Event* child = readEvent(a, k);
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
    vondArgs a(L, 0, vondArgs::FROM_FIRST);
    const int n = a.passed();
    if (n < 1) return 0;
    std::string fileName;
    std::vector<std::string> names;
    if (!a.readText(n, fileName)) return 0;
    for (int k = n - 1; k >= 1; --k) {
        std::string name;
        if (!a.readText(k, name)) return 0;
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
    vondArgs a(L, 2, LAST);
    if (!a.readText(1, networkName) || !a.readText(2, fileName)) return 0;
    SaveLoad store;
    store.load(fileName);
    StateMachine::Instance()->loadNetwork(networkName, store);
    return 0;
}

} // namespace

int l_StateMachineInit(lua_State* L) {
    lua_register(L, "sm_createNetwork", l_sm_createNetwork);
    lua_register(L, "sm_removeNetwork", l_sm_removeNetwork);
    lua_register(L, "sm_createNode", l_sm_createNode);
    lua_register(L, "sm_removeNode", l_sm_removeNode);
    lua_register(L, "sm_getNode", l_sm_getNode);
    lua_register(L, "sm_putNode", l_sm_putNode);
    lua_register(L, "sm_traceOut", l_sm_traceOut);
    lua_register(L, "sm_attachEvent", l_sm_attachEvent);
    lua_register(L, "sm_createEvent", l_sm_createEvent);
    lua_register(L, "sm_chainEvent", l_sm_chainEvent);
    lua_register(L, "sm_save", l_sm_save);
    lua_register(L, "sm_load", l_sm_load);
    return 0;
}
