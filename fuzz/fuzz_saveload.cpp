// Save files: any bytes loaded as a save file, then
//  - saved and loaded again: every pair that the format can carry must come
//    back unchanged and in order (the others are left out);
//  - applied to the state machine as sm_load applies them, over a network
//    whose nodes carry events that trace, assign and count, so that loaded
//    values set off cascades.
#include "event/event.h"
#include "saveload/saveload.h"
#include "stateMachine/statemachine.h"
#include "vondFuzz.h"

#include <list>
#include <string>
#include <vector>

namespace {

std::vector<SaveLoadType> pairsOf(const SaveLoad& store) {
    std::vector<SaveLoadType> pairs;
    for (int32_t i = 0; i < store.size(); ++i)
        pairs.push_back(store.getPair(i));
    return pairs;
}

// Network "g": nodes a, b, c; a's events assign b and add to c, b's event
// writes a back (a cycle), c's event traces.
void buildNetwork() {
    StateMachine* sm = StateMachine::Instance();
    sm->createNetwork("g");
    for (const char* node : {"a", "b", "c"})
        sm->createNode("g", node);
    Event toB("modifynode", "1", std::list<std::string>{"g.b", "=", "go"}, false);
    Event count("modifynode", "1", std::list<std::string>{"g.c", "+", "7"}, false);
    Event back("modifynode", "go", std::list<std::string>{"g.a", "=", "1"}, false);
    Event trace("tracemessage", "14", std::list<std::string>{"c is 14"}, true);
    Event divide("modifynode", "", std::list<std::string>{"g.c", "/", "0"}, false);
    sm->attachEvent("g.a", toB);
    sm->attachEvent("g.a", count);
    sm->attachEvent("g.b", back);
    sm->attachEvent("g.c", trace);
    sm->attachEvent("g", divide);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vondFuzzStart(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vondFuzzWrite("save.txt", data, size);
    SaveLoad store;
    if (!store.load("save.txt")) __builtin_trap();
    std::vector<SaveLoadType> expected;
    for (const SaveLoadType& p : pairsOf(store))
        if (SaveLoad::canBeSaved(p)) expected.push_back(p);
    store.save("copy.txt");
    SaveLoad back;
    back.load("copy.txt");
    const std::vector<SaveLoadType> got = pairsOf(back);
    if (got.size() != expected.size()) __builtin_trap();
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i].key != expected[i].key || got[i].pair != expected[i].pair) __builtin_trap();

    buildNetwork();
    StateMachine::Instance()->loadNetwork("g", store);
    SaveLoad saved;
    StateMachine::Instance()->saveNetwork("g", saved);
    StateMachine::Instance()->removeNetwork("g");
    return 0;
}
