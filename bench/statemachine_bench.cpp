// Cost of the sm_ functions as a script sees them: node writes and reads on
// deep and on wide networks, and saving and loading networks of growing size
// whose every node carries an event. Calls go through the Lua interpreter.
#include "lua40/lua40.h"
#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

lua_State* interpreter() {
    static lua_State* L = [] {
        lua_State* state = lua_open(0);
        lua_baselibopen(state);
        StateMachine::Instance();
        l_StateMachineInit(state);
        return state;
    }();
    return L;
}

// Calls the global sm_ function with text arguments; leaves no result behind.
void callSm(const char* function, std::initializer_list<const std::string*> args) {
    lua_State* L = interpreter();
    lua_getglobal(L, function);
    for (const std::string* arg : args)
        lua_pushstring(L, arg->c_str());
    lua_rawcall(L, static_cast<int>(args.size()), 0);
}

std::string callGetNode(const std::string& path) {
    lua_State* L = interpreter();
    lua_getglobal(L, "sm_getNode");
    lua_pushstring(L, path.c_str());
    lua_rawcall(L, 1, 1);
    std::string value = lua_tostring(L, -1);
    lua_pop(L, 1);
    return value;
}

// Creates an event with text arguments and returns its handle.
double callCreateEvent(std::initializer_list<std::string> args) {
    lua_State* L = interpreter();
    lua_getglobal(L, "sm_createEvent");
    for (const std::string& arg : args)
        lua_pushstring(L, arg.c_str());
    lua_rawcall(L, static_cast<int>(args.size()), 1);
    double handle = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return handle;
}

void callAttachEvent(const std::string& path, double handle) {
    lua_State* L = interpreter();
    lua_getglobal(L, "sm_attachEvent");
    lua_pushstring(L, path.c_str());
    lua_pushnumber(L, handle);
    lua_rawcall(L, 2, 0);
}

const std::string NET = "bench";

// NET with `width` children of the root, n0 .. n(width-1), each with one event.
void buildWide(int64_t width, bool withEvents) {
    StateMachine::Instance()->removeNetwork(NET);
    callSm("sm_createNetwork", {&NET});
    const double handle =
        withEvents ? callCreateEvent({"modifynode", "never", NET, "+", "1", "false"}) : 0;
    for (int64_t i = 0; i < width; ++i) {
        const std::string name = "n" + std::to_string(i);
        callSm("sm_createNode", {&NET, &name});
        if (withEvents) callAttachEvent(NET + "." + name, handle);
    }
}

// NET with a chain of `depth` nodes below the root; returns the deepest path.
std::string buildDeep(int64_t depth) {
    StateMachine::Instance()->removeNetwork(NET);
    callSm("sm_createNetwork", {&NET});
    std::string path = NET;
    const std::string child = "d";
    for (int64_t i = 0; i < depth; ++i) {
        callSm("sm_createNode", {&path, &child});
        path += ".d";
    }
    return path;
}

void putThenGet(benchmark::State& state, const std::string& path) {
    const std::string value = "v";
    for (auto _ : state) {
        callSm("sm_putNode", {&path, &value});
        benchmark::DoNotOptimize(callGetNode(path));
    }
}

void BM_PutGetWide(benchmark::State& state) {
    buildWide(state.range(0), false);
    // The last child: a list walk would pass every sibling first.
    putThenGet(state, NET + ".n" + std::to_string(state.range(0) - 1));
    StateMachine::Instance()->removeNetwork(NET);
}
BENCHMARK(BM_PutGetWide)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_PutGetDeep(benchmark::State& state) {
    putThenGet(state, buildDeep(state.range(0)));
    StateMachine::Instance()->removeNetwork(NET);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PutGetDeep)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

std::string benchFile() {
    return "/tmp/statemachine_bench_" + std::to_string(::getpid()) + ".txt";
}

void BM_Save(benchmark::State& state) {
    buildWide(state.range(0), true);
    const std::string file = benchFile();
    for (auto _ : state)
        callSm("sm_save", {&NET, &file});
    state.SetComplexityN(state.range(0));
    std::remove(file.c_str());
    StateMachine::Instance()->removeNetwork(NET);
}
BENCHMARK(BM_Save)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Every node is written back, and every event key is looked up and passed over.
void BM_Load(benchmark::State& state) {
    buildWide(state.range(0), true);
    const std::string file = benchFile();
    callSm("sm_save", {&NET, &file});
    for (auto _ : state)
        callSm("sm_load", {&NET, &file});
    state.SetComplexityN(state.range(0));
    std::remove(file.c_str());
    StateMachine::Instance()->removeNetwork(NET);
}
BENCHMARK(BM_Load)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
