// Cost of calling the engine from a script, and of translating Lua 4.0.
//
// Calls: a Lua loop calls a global C function n times; the same loop runs with
// getLayerX (an engine function: reads its argument by the engine's
// conventions, looks the layer up, returns one number) and with a bare C
// function that does the least a function with one argument and one result
// can (lua_tonumber, lua_pushnumber). An empty loop gives the loop's own cost.
// Counter ns_per_call is per call, loop included.
//
// VM-bound loop: a 4.0 chunk of arithmetic, Lua calls and table writes run
// through lua_dostring for about a tenth of a second, watched for a quit as in
// the game (the shell's check, made 200 times a second) and unwatched.
//
// Translation: a generated 10,000-line Lua 4.0 script (functions, upvalues,
// `for k,v in t', tables, string building) through lua40::translate, and the
// same text's 5.1 translation compiled by Lua for comparison.
#include "vondBenchSupport.h"

#include "lua40/lua40_run.h"
#include "lua40/lua40_translate.h"
#include "vondGlobals.h"
#include "vondScriptHost.h"
#include "vondScriptFuncs.h"
#include "vondShell.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

int bareFunction(lua_State* L) {
    lua_pushnumber(L, lua_tonumber(L, 1));
    return 1;
}

lua_State* interpreter() {
    static lua_State* L = [] {
        vondBench::runStartupScript("/", "/dev/null");
        lua_register(game_state, "bareFunction", bareFunction);
        lua_register(game_state, "nothing", bareFunction);
        return game_state;
    }();
    return L;
}

// Pushes a Lua function(n) that calls `call` n times (5.1 source, so that no
// translation is timed), seeing the scripts' globals as a game script does.
void pushLoop(lua_State* L, const std::string& call) {
    std::string source = "local n = ... for i = 1, n do " + call + " end";
    luaL_loadstring(L, source.c_str());
    lua40::pushEnvironment(L);
    lua_setfenv(L, -2);
}

constexpr int CALLS = 10000;

void timeLoop(benchmark::State& state, const std::string& call) {
    lua_State* L = interpreter();
    pushLoop(L, call);
    int loop = lua_gettop(L);
    for (auto _ : state) {
        lua_pushvalue(L, loop);
        lua_pushnumber(L, CALLS);
        lua_call(L, 1, 0);
    }
    lua_settop(L, loop - 1);
    state.SetItemsProcessed(state.iterations() * CALLS);
    state.counters["ns_per_call"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * CALLS,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Call_EmptyLoop(benchmark::State& state) {
    timeLoop(state, "local x = i");
}
void BM_Call_BareCFunction(benchmark::State& state) {
    timeLoop(state, "local x = bareFunction(1)");
}
void BM_Call_getLayerX(benchmark::State& state) {
    timeLoop(state, "local x = getLayerX(1)");
}

BENCHMARK(BM_Call_EmptyLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Call_BareCFunction)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Call_getLayerX)->Unit(benchmark::kMicrosecond);

const char* const kVMBoundLoop = "local twice = function(a) return a * 2 end\n"
                                 "local t = {}\n"
                                 "local x = 0\n"
                                 "for i = 1, 1000000 do x = x + twice(i) t[1] = x end\n";

void timeVMBoundLoop(benchmark::State& state, bool watched) {
    lua_State* L = interpreter();
    if (watched)
        vondWatchScriptsForQuit();
    else
        lua40_setquitcheck(L, nullptr, nullptr, nullptr);
    for (auto _ : state)
        if (lua_dostring(L, kVMBoundLoop) != 0) state.SkipWithError("the loop failed");
    vondWatchScriptsForQuit();
}

void BM_Loop_VMBoundWatched(benchmark::State& state) {
    timeVMBoundLoop(state, true);
}
void BM_Loop_VMBoundUnwatched(benchmark::State& state) {
    timeVMBoundLoop(state, false);
}
BENCHMARK(BM_Loop_VMBoundWatched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Loop_VMBoundUnwatched)->Unit(benchmark::kMillisecond);

// A 10,000-line 4.0 script of typical game code, repeated in blocks of 20 lines.
const std::string& script40() {
    static const std::string text = [] {
        std::string s;
        for (int b = 0; s.size() == 0 || b < 500; ++b) {
            std::string n = std::to_string(b);
            s += "function room" + n + "(verb, thing)\n";
            s += "  local seen = 0\n";
            s += "  local names = {\"lamp\", \"chest\", \"door\", \"cat\"}\n";
            s += "  for k, v in names do\n";
            s += "    if v == thing then seen = seen + k end\n";
            s += "  end\n";
            s += "  local say = function(t) return %verb .. \": \" .. t end\n";
            s += "  if seen > 2 and verb ~= \"look\" then\n";
            s += "    setTxtString(0, say(\"You see \" .. seen .. \" things\"))\n";
            s += "  elseif seen == 1 or thing == nil then\n";
            s += "    MoveLPointer(1, 0, 0, -8, 0)\n";
            s += "  else\n";
            s += "    local i = 1\n";
            s += "    while i <= 10 do i = i + 1 end\n";
            s += "    placeSprite(1, 2, 16 + i, 10, 0, 0)\n";
            s += "  end\n";
            s += "  return format(\"%d:%s\", seen, strsub(thing, 1, 3))\n";
            s += "end\n";
            s += "rooms = rooms or {} rooms[" + n + "] = room" + n + "\n";
            s += "-- block " + n + "\n";
        }
        return s;
    }();
    return text;
}

void BM_Translate_10000Lines(benchmark::State& state) {
    const std::string& source = script40();
    size_t lines = 0;
    for (char c : source)
        lines += c == '\n';
    bool ok = true;
    for (auto _ : state) {
        lua40::Translation t = lua40::translate(source, "file `rooms.lua'");
        ok = ok && t.ok;
        benchmark::DoNotOptimize(t.code.data());
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["translated"] = ok;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}
BENCHMARK(BM_Translate_10000Lines)->Unit(benchmark::kMillisecond);

// Lua 5.1's own compiler on the translated text: what running the file costs
// beyond the translation.
void BM_Compile51_10000Lines(benchmark::State& state) {
    lua_State* L = interpreter();
    lua40::Translation t = lua40::translate(script40(), "file `rooms.lua'");
    for (auto _ : state) {
        int status = luaL_loadbuffer(L, t.code.data(), t.code.size(), "=rooms.lua");
        lua_pop(L, 1);
        if (status != 0) state.SkipWithError("the translation does not compile");
    }
}
BENCHMARK(BM_Compile51_10000Lines)->Unit(benchmark::kMillisecond);

} // namespace
