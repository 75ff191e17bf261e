// The 4.0 C interface in-process: status codes, the stack, number text,
// registered C functions, the scripts' globals and the error report.
#include "lua40/lua40.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string captured;

int captureAlert(lua_State* L) {
    captured += lua_tostring(L, 1);
    return 0;
}

std::vector<double> received;

// An engine-style function: reads numbers with lua_tonumber, returns one.
int engineFunction(lua_State* L) {
    for (int i = 1; i <= lua_gettop(L); ++i)
        received.push_back(lua_tonumber(L, i));
    lua_pushnumber(L, 7);
    return 1;
}

class Lua40Host : public ::testing::Test {
  protected:
    void SetUp() override {
        L = lua_open(0);
        lua_baselibopen(L);
        lua_iolibopen(L);
        lua_strlibopen(L);
        lua_mathlibopen(L);
        captured.clear();
        received.clear();
        lua_pushcclosure(L, captureAlert, 0);
        lua_setglobal(L, "_ALERT");
    }
    void TearDown() override { lua_close(L); }
    lua_State* L = nullptr;
};

TEST_F(Lua40Host, StatusCodesAreThoseOf40AndTheStackIsKept) {
    lua_pushnumber(L, 1);
    EXPECT_EQ(lua_dostring(L, "x = 1"), 0);
    EXPECT_EQ(lua_dostring(L, "return 1, 2, 3"), 0);
    EXPECT_EQ(lua_dostring(L, "error('e')"), LUA40_ERRRUN);
    EXPECT_EQ(lua_dostring(L, "x = = 1"), LUA40_ERRSYNTAX);
    EXPECT_EQ(lua_gettop(L), 1);
    captured.clear();
    EXPECT_EQ(lua_dofile(L, "/no/such/file.lua"), LUA40_ERRFILE);
    EXPECT_EQ(captured, "");
}

TEST_F(Lua40Host, FailingErrorHandlerGivesErrorInErrorHandling) {
    ASSERT_EQ(lua_dostring(L, "_ERRORMESSAGE = function(m) error('again') end"), 0);
    EXPECT_EQ(lua_dostring(L, "error('first')"), LUA40_ERRERR);
    EXPECT_EQ(lua_dostring(L, "x, kind = dostring('error(1)')"), 0);
    lua_getglobal(L, "kind");
    EXPECT_STREQ(lua_tostring(L, -1), "error in error handling");
}

TEST_F(Lua40Host, NumbersBecomeTextWithSixteenDigitsInPlace) {
    lua_pushnumber(L, 1.0 / 3);
    EXPECT_STREQ(lua_tostring(L, -1), "0.3333333333333333");
    EXPECT_EQ(lua_type(L, -1), LUA_TSTRING);
    lua_pushnumber(L, 1e15);
    EXPECT_STREQ(lua_tostring(L, 2), "1000000000000000");
    lua_pushnil(L);
    EXPECT_EQ(lua_tostring(L, -1), nullptr);
}

TEST_F(Lua40Host, RegisteredFunctionsAreGlobalsAndGetOneForTrue) {
    lua_pushcclosure(L, engineFunction, 0);
    lua_setglobal(L, "engineFunction");
    ASSERT_EQ(lua_dostring(L, "r = engineFunction(1 < 2, 2 < 1, '4', 1/2)"), 0);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], 1);
    EXPECT_EQ(received[1], 0);
    EXPECT_EQ(received[2], 4);
    EXPECT_EQ(received[3], 0.5);
    lua_getglobal(L, "r");
    EXPECT_EQ(lua_tonumber(L, -1), 7);
}

TEST_F(Lua40Host, ScriptsSeeExactlyThe97GlobalsOf40) {
    const std::set<std::string> expected = {"PI",
                                            "_ALERT",
                                            "_ERRORMESSAGE",
                                            "_INPUT",
                                            "_OUTPUT",
                                            "_STDERR",
                                            "_STDIN",
                                            "_STDOUT",
                                            "_VERSION",
                                            "abs",
                                            "acos",
                                            "appendto",
                                            "ascii",
                                            "asin",
                                            "assert",
                                            "atan",
                                            "atan2",
                                            "call",
                                            "ceil",
                                            "clock",
                                            "closefile",
                                            "collectgarbage",
                                            "copytagmethods",
                                            "cos",
                                            "date",
                                            "debug",
                                            "deg",
                                            "dofile",
                                            "dostring",
                                            "error",
                                            "execute",
                                            "exit",
                                            "exp",
                                            "floor",
                                            "flush",
                                            "foreach",
                                            "foreachi",
                                            "foreachvar",
                                            "format",
                                            "frexp",
                                            "gcinfo",
                                            "getenv",
                                            "getglobal",
                                            "getn",
                                            "gettagmethod",
                                            "globals",
                                            "gsub",
                                            "ldexp",
                                            "log",
                                            "log10",
                                            "max",
                                            "min",
                                            "mod",
                                            "newtag",
                                            "next",
                                            "nextvar",
                                            "openfile",
                                            "print",
                                            "rad",
                                            "random",
                                            "randomseed",
                                            "rawget",
                                            "rawgetglobal",
                                            "rawgettable",
                                            "rawset",
                                            "rawsetglobal",
                                            "rawsettable",
                                            "read",
                                            "readfrom",
                                            "remove",
                                            "rename",
                                            "seek",
                                            "setglobal",
                                            "setlocale",
                                            "settag",
                                            "settagmethod",
                                            "sin",
                                            "sort",
                                            "sqrt",
                                            "strbyte",
                                            "strchar",
                                            "strfind",
                                            "strlen",
                                            "strlower",
                                            "strrep",
                                            "strsub",
                                            "strupper",
                                            "tag",
                                            "tan",
                                            "tinsert",
                                            "tmpname",
                                            "tostring",
                                            "tonumber",
                                            "tremove",
                                            "type",
                                            "write",
                                            "writeto"};
    ASSERT_EQ(expected.size(), 97u);
    ASSERT_EQ(lua_dostring(L, "names = {} for k, v in globals() do names[k] = 1 end"), 0);
    lua_getglobal(L, "names");
    std::set<std::string> seen;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        seen.insert(lua_tolstring(L, -2, nullptr));
        lua_pop(L, 1);
    }
    seen.erase("names");
    EXPECT_EQ(seen, expected);
}

TEST_F(Lua40Host, RunTimeErrorReportShowsMessageAndTraceback) {
    EXPECT_EQ(lua_dostring(L, "local t = nil\nreturn t.x"), LUA40_ERRRUN);
    EXPECT_EQ(captured, "error: attempt to index local `t' (a nil value)\n"
                        "stack traceback:\n"
                        "   1:  main of string \"local t = nil...\" at line 2\n");
}

TEST_F(Lua40Host, DeepTracebackShowsFirstElevenAndLastTenLevels) {
    EXPECT_EQ(lua_dostring(L, "function down(n) if n == 0 then error('deep') end "
                              "local r = down(n - 1) return r end\ndown(30)"),
              LUA40_ERRRUN);
    EXPECT_NE(captured.find("  11:  function `down' at line 1"), std::string::npos) << captured;
    EXPECT_NE(captured.find("\n       ...\n  24:  function `down'"), std::string::npos) << captured;
    EXPECT_NE(captured.find("  33:  main of string"), std::string::npos) << captured;
    EXPECT_EQ(captured.find("  12:"), std::string::npos) << captured;
}

TEST_F(Lua40Host, TailCallsKeepTheirCallerInTracebacks) {
    EXPECT_EQ(lua_dostring(L, "function inner() error('x') end\n"
                              "function outer() return inner() end\nouter()"),
              LUA40_ERRRUN);
    EXPECT_NE(captured.find("function `outer' at line 2"), std::string::npos) << captured;
}

TEST_F(Lua40Host, SyntaxErrorFromCHasNoTraceback) {
    EXPECT_EQ(lua_dostring(L, "x = (1"), LUA40_ERRSYNTAX);
    EXPECT_EQ(captured, "error: `)' expected;\n  last token read: `<eof>' at line 1 in "
                        "string \"x = (1\"\n");
}

TEST_F(Lua40Host, BaseHandlerAloneGivesTheLine) {
    lua_State* base = lua_open(0);
    lua_baselibopen(base);
    lua_pushcclosure(base, captureAlert, 0);
    lua_setglobal(base, "_ALERT");
    captured.clear();
    EXPECT_EQ(lua_dostring(base, "function f(x) return x.y end\nf()"), LUA40_ERRRUN);
    EXPECT_EQ(captured, "error: attempt to index local `x' (a nil value)\n"
                        "  <string \"function f(x) return x.y end...\": line 1>\n");
    lua_close(base);
}

} // namespace
