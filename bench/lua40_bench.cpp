// Cost of the 4.0 layer: translating a 10,000-line script (against 5.1
// compiling the same text), a script loop calling an engine function
// (against the same loop on plain 5.1), and what tag methods cost: reading a
// field of a table whose tag has a gettable method, against the same read on
// an untagged table and on a table whose tag has only an index method, and
// building tables in a constructor.
#include "lua40/lua40_51.h"
#include "lua40/lua40_translate.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// 10,000 lines in the subset that is valid in both 4.0 and 5.1.
std::string commonScript() {
    std::string s;
    for (int i = 0; i < 2000; ++i) {
        std::string n = std::to_string(i);
        s += "do local a = " + n + " + 2 * 3 - b / 4\n";
        s += "function f" + n + "(x, y) if x > y then return x - y else return y * 2 end end\n";
        s += "t" + n + " = {1, 2, 3; name = \"item" + n + "\", [4] = f" + n + "(1, 2)}\n";
        s += "while a < 10 do a = a + 1 end -- count up\n";
        s += "s" + n + " = strsub(\"abc\", 1, 2) .. \"def\" end\n";
    }
    return s;
}

void BM_Translate10kLines(benchmark::State& state) {
    const std::string source = commonScript();
    lua_State* L = luaL_newstate();
    for (auto _ : state) {
        lua40::Translation t = lua40::translate(source, "file `bench.lua'");
        if (!t.ok || luaL_loadbuffer(L, t.code.data(), t.code.size(), "@bench.lua") != 0) {
            state.SkipWithError("the script does not load");
            break;
        }
        lua_pop(L, 1);
    }
    lua_close(L);
}
BENCHMARK(BM_Translate10kLines)->Unit(benchmark::kMillisecond);

void BM_Compile10kLinesOn51(benchmark::State& state) {
    const std::string source = commonScript();
    lua_State* L = luaL_newstate();
    for (auto _ : state) {
        if (luaL_loadbuffer(L, source.data(), source.size(), "@bench.lua") != 0) {
            state.SkipWithError("the script does not load");
            break;
        }
        lua_pop(L, 1);
    }
    lua_close(L);
}
BENCHMARK(BM_Compile10kLinesOn51)->Unit(benchmark::kMillisecond);

// Reads its arguments and returns one number, like the engine's functions.
int engineLike(lua_State* L) {
    double sum = 0;
    for (int i = 1; i <= lua_gettop(L); ++i)
        sum += lua_tonumber(L, i);
    lua_pushnumber(L, sum);
    return 1;
}

const char* const kLoop = "local total = 0\n"
                          "for i = 1, 100000 do total = total + getLayerX(i, i * 2) end\n";

void BM_EngineCallLoop40(benchmark::State& state) {
    lua_State* L = lua_open(0);
    lua_baselibopen(L);
    lua_iolibopen(L);
    lua_strlibopen(L);
    lua_mathlibopen(L);
    lua_register(L, "getLayerX", engineLike);
    for (auto _ : state)
        lua_dostring(L, kLoop);
    lua_close(L);
}
BENCHMARK(BM_EngineCallLoop40)->Unit(benchmark::kMillisecond);

void BM_EngineCallLoop51(benchmark::State& state) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_pushcfunction(L, engineLike);
    lua_setfield(L, LUA_GLOBALSINDEX, "getLayerX");
    for (auto _ : state) {
        luaL_loadbuffer(L, kLoop, std::char_traits<char>::length(kLoop), kLoop);
        lua_pcall(L, 0, 0, 0);
    }
    lua_close(L);
}
BENCHMARK(BM_EngineCallLoop51)->Unit(benchmark::kMillisecond);

// `..' with a variable goes through the helper that writes numbers as 4.0.
const char* const kConcat = "local s = ''\n"
                            "for i = 1, 100000 do s = 'item ' .. i .. ': ' .. i / 4 end\n";

void BM_ConcatLoop40(benchmark::State& state) {
    lua_State* L = lua_open(0);
    lua_baselibopen(L);
    for (auto _ : state)
        lua_dostring(L, kConcat);
    lua_close(L);
}
BENCHMARK(BM_ConcatLoop40)->Unit(benchmark::kMillisecond);

void BM_ConcatLoop51(benchmark::State& state) {
    lua_State* L = luaL_newstate();
    for (auto _ : state) {
        luaL_loadbuffer(L, kConcat, std::char_traits<char>::length(kConcat), kConcat);
        lua_pcall(L, 0, 0, 0);
    }
    lua_close(L);
}
BENCHMARK(BM_ConcatLoop51)->Unit(benchmark::kMillisecond);

// A 4.0 host with its libraries, running `setup' once, then `loop' timed.
// Each run of the loop makes 100,000 accesses; ns_per_access is per access,
// the loop's own cost included.
void timeScriptLoop(benchmark::State& state, const char* setup, const char* loop) {
    lua_State* L = lua_open(0);
    lua_baselibopen(L);
    lua_iolibopen(L);
    lua_strlibopen(L);
    lua_mathlibopen(L);
    if (lua_dostring(L, setup) != 0) state.SkipWithError("the setup fails");
    for (auto _ : state)
        if (lua_dostring(L, loop) != 0) state.SkipWithError("the loop fails");
    lua_close(L);
    state.counters["ns_per_access"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 100000,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const char* const kReadLoop = "local t, s = thing, 0\n"
                              "for i = 1, 100000 do s = s + t.x end\n";

void BM_FieldRead_Untagged(benchmark::State& state) {
    timeScriptLoop(state, "thing = {x = 1}", kReadLoop);
}
BENCHMARK(BM_FieldRead_Untagged)->Unit(benchmark::kMillisecond);

// The class idiom: methods looked up through index, fields present.
void BM_FieldRead_IndexTag(benchmark::State& state) {
    timeScriptLoop(state,
                   "local class = newtag()\n"
                   "settagmethod(class, 'index', function(t, k) return nil end)\n"
                   "thing = settag({x = 1}, class)",
                   kReadLoop);
}
BENCHMARK(BM_FieldRead_IndexTag)->Unit(benchmark::kMillisecond);

// Every read runs the method, which reads the field raw.
void BM_FieldRead_GettableTag(benchmark::State& state) {
    timeScriptLoop(state,
                   "local watched = newtag()\n"
                   "settagmethod(watched, 'gettable', function(t, k) return rawget(t, k) end)\n"
                   "thing = settag({x = 1}, watched)",
                   kReadLoop);
}
BENCHMARK(BM_FieldRead_GettableTag)->Unit(benchmark::kMillisecond);

// Every table a constructor makes passes the host's constructor helper.
void BM_TableConstructorLoop40(benchmark::State& state) {
    timeScriptLoop(state, "", "for i = 1, 100000 do local t = {x = i} end\n");
}
BENCHMARK(BM_TableConstructorLoop40)->Unit(benchmark::kMillisecond);

} // namespace
