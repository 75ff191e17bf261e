// The 4.0 C interface in-process: status codes, the scripts' globals, the
// error report, and the values C functions receive.
#include "lua40/lua40.h"
// For lua_type only: whether a 5.1 boolean ever reaches a C function.
#include "lua40/lua40_51.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

std::string captured;

int captureAlert(lua_State* L) {
    captured += lua_tostring(L, 1);
    return 0;
}

lua_State* openHost(bool allLibraries) {
    lua_State* L = lua_open(0);
    lua_baselibopen(L);
    if (allLibraries) {
        lua_iolibopen(L);
        lua_strlibopen(L);
        lua_mathlibopen(L);
    }
    lua_register(L, "_ALERT", captureAlert);
    captured.clear();
    return L;
}

class Lua40Host : public ::testing::Test {
  protected:
    void TearDown() override { lua_close(L); }
    lua_State* L = openHost(true);
};

// Text run again and again is compiled once; each run still runs it, and
// more distinct texts than the cache holds, or broken ones, behave as before.
TEST_F(Lua40Host, RepeatedScriptTextRunsEveryTimeWhateverTheCacheHolds) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lua_dostring(L, "n = (n or 0) + 1"), 0);
    for (int i = 0; i < 600; ++i) {
        std::string text = "m = (m or 0) + " + std::to_string(i % 300);
        ASSERT_EQ(lua_dostring(L, text.c_str()), 0);
    }
    EXPECT_EQ(lua_dostring(L, "if n ~= 3 or m ~= 89700 then error('wrong') end"), 0) << captured;
    for (int i = 0; i < 2; ++i) {
        captured.clear();
        EXPECT_EQ(lua_dostring(L, "x = = 1"), LUA40_ERRSYNTAX);
        EXPECT_NE(captured.find("error: "), std::string::npos);
    }
}

TEST_F(Lua40Host, StatusCodesAreThoseOf40AndTheStackIsKept) {
    lua_pushnumber(L, 1);
    EXPECT_EQ(lua_dostring(L, "return 1, 2, 3"), 0);
    EXPECT_EQ(lua_dostring(L, "error('e')"), LUA40_ERRRUN);
    EXPECT_EQ(lua_dostring(L, "x = = 1"), LUA40_ERRSYNTAX);
    EXPECT_EQ(lua_gettop(L), 1);
    captured.clear();
    EXPECT_EQ(lua_dofile(L, "/no/such/file.lua"), LUA40_ERRFILE);
    EXPECT_EQ(captured, "");
    ASSERT_EQ(lua_dostring(L, "_ERRORMESSAGE = function(m) error('again') end"), 0);
    EXPECT_EQ(lua_dostring(L, "error('first')"), LUA40_ERRERR);
    EXPECT_EQ(lua_dostring(L, "x, kind = dostring('error(1)')"), 0);
    lua_getglobal(L, "kind");
    EXPECT_STREQ(lua_tostring(L, -1), "error in error handling");
}

TEST_F(Lua40Host, ScriptsSeeExactlyThe97GlobalsOf40) {
    std::istringstream list(
        "PI _ALERT _ERRORMESSAGE _INPUT _OUTPUT _STDERR _STDIN _STDOUT _VERSION abs acos appendto "
        "ascii asin assert atan atan2 call ceil clock closefile collectgarbage copytagmethods cos "
        "date debug deg dofile dostring error execute exit exp floor flush foreach foreachi "
        "foreachvar format frexp gcinfo getenv getglobal getn gettagmethod globals gsub ldexp log "
        "log10 max min mod newtag next nextvar openfile print rad random randomseed rawget "
        "rawgetglobal rawgettable rawset rawsetglobal rawsettable read readfrom remove rename seek "
        "setglobal setlocale settag settagmethod sin sort sqrt strbyte strchar strfind strlen "
        "strlower strrep strsub strupper tag tan tinsert tmpname tostring tonumber tremove type "
        "write writeto");
    std::set<std::string> expected, seen;
    for (std::string name; list >> name;)
        expected.insert(name);
    ASSERT_EQ(expected.size(), 97u);
    ASSERT_EQ(lua_dostring(L, "names = {} for k, v in globals() do names[k] = 1 end"), 0);
    lua_getglobal(L, "names");
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        seen.insert(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
    seen.erase("names");
    EXPECT_EQ(seen, expected);
}

TEST_F(Lua40Host, DeepTracebackShowsFirstElevenAndLastTenLevelsAndTailCallers) {
    EXPECT_EQ(lua_dostring(L, "function down(n) if n == 0 then error('deep') end "
                              "local r = down(n - 1) return r end\n"
                              "function outer() return down(30) end\nouter()"),
              LUA40_ERRRUN);
    EXPECT_NE(captured.find("  11:  function `down' at line 1"), std::string::npos) << captured;
    EXPECT_NE(captured.find("\n       ...\n  25:  function `down'"), std::string::npos) << captured;
    EXPECT_NE(captured.find("  33:  function `outer' at line 2"), std::string::npos) << captured;
    EXPECT_NE(captured.find("  34:  main of string"), std::string::npos) << captured;
    EXPECT_EQ(captured.find("  12:"), std::string::npos) << captured;
}

int booleanArguments = 0;

int countBooleans(lua_State* L) {
    for (int i = 1; i <= lua_gettop(L); ++i)
        booleanArguments += lua_type(L, i) == LUA_TBOOLEAN;
    return 0;
}

// 4.0 has no booleans, so the engine's functions read none: a comparison or
// `not' gives 1 or nil wherever its value goes, and no library function,
// tag method call or global hands a C function anything else.
TEST_F(Lua40Host, NoValueAScriptCanMakeReachesACFunctionAsABoolean) {
    lua_register(L, "f", countBooleans);
    const char* const scripts[] = {
        "f(1 == 1, 1 == 2, not nil, not 1, 1 < 2, 'a' >= 'b', (1 ~= 2), -(1 == 1))",
        "x = 1 == 1 local y, z = not nil, 2 > 1 t = {1 == 1; a = not nil} t[1 == 1] = 1 < 2 "
        "f(x, y, z, t[1], t.a) for k, v in t do f(k, v) end f{1 == 1}",
        "function g() return 1 == 1, not nil end f(g()) f(g() and 1 == 1 or nil == 1)",
        "function v(...) f(arg[1], arg.n) end v(1 == 1) "
        "local u = 1 == 1 function w() f(%u) end w()",
        "call(f, {1 == 1}) foreach({a = 1 == 1}, f) foreachi({1 == 1}, f) sort({2, 1}, f) "
        "gsub('ab', '(a)', f) f(dostring('return 1 == 1')) "
        "f(call(function() return not nil end, {}))",
        "f(strfind('abc', 'b')) f(flush()) f(remove('/no/such')) f(closefile(_STDOUT)) "
        "f(readfrom('/dev/null')) f(read()) f(readfrom()) f(execute('true')) f(newtag()) "
        "f(next({}))",
        "for k, v in globals() do f(k, v) end",
        "m = newtag() settagmethod(m, 'index', function(t, k) return k == 1 end) "
        "settagmethod(m, 'function', function(o, x) f(o, x) return x == 1 end) "
        "settagmethod(m, 'lt', function(a, b) f(a, b) return 1 end) o = settag({}, m) "
        "f(o[1], o(1), o < o, o >= o)",
        "settagmethod(tag(nil), 'getglobal', function(n, v) f(n, v) return n == 'q' end) f(q)",
    };
    for (const char* script : scripts)
        EXPECT_EQ(lua_dostring(L, script), 0) << script << captured;
    EXPECT_EQ(booleanArguments, 0);
}

TEST(Lua40BaseOnly, ErrorHandlerWithoutTheOtherLibrariesGivesOneLine) {
    lua_State* base = openHost(false);
    EXPECT_EQ(lua_dostring(base, "function f(x) return x.y end\nf()"), LUA40_ERRRUN);
    EXPECT_EQ(captured, "error: attempt to index local `x' (a nil value)\n"
                        "  <string \"function f(x) return x.y end...\": line 1>\n");
    lua_close(base);
}

} // namespace
