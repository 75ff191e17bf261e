// Calls at the line they close on: which parentheses of a 5.1 text are calls
// and of which function, and the compiled chunk changed only when its calls
// are those of the text.
#include "lua40/lua40_lines.h"

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::pair<int, int>>;

TEST(CallLines, CallsAreFoundPerFunctionInTheOrderTheyClose) {
    lua40::CallLines calls = lua40::scanCallLines("f(g(1,\n"
                                                  "2),\n"
                                                  "(3))\n"
                                                  "local t = {function(a) return h(a) end}\n"
                                                  "x = (function(_U40_0) return function(b)\n"
                                                  "  t:m(b)\n"
                                                  "end end)(x)\n");
    ASSERT_EQ(calls.size(), 4u); // the chunk, then each function where it begins
    EXPECT_EQ(calls[0], (Calls{{1, 2}, {1, 3}, {7, 7}}));
    EXPECT_EQ(calls[1], (Calls{{4, 4}}));
    EXPECT_EQ(calls[2], Calls{});
    EXPECT_EQ(calls[3], (Calls{{6, 6}}));
}

TEST(CallLines, StringsCommentsAndLongBracketsHideWhatIsInThem) {
    lua40::CallLines calls = lua40::scanCallLines("s = \"f(\\\nfunction\" .. 'g(' -- h(\n"
                                                  "u = [==[ ]] function (\n]==] --[[ k(\n"
                                                  "]] v(w\n"
                                                  ")\r\n"
                                                  "y(\n\r1)\n");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (Calls{{5, 6}, {7, 8}}));
}

// The line at which the chunk's call of `where' runs, as 5.1 reports it.
int callLine(lua_State* L, const std::string& code, const std::string& scanned) {
    EXPECT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=test"), 0);
    lua40::relineCalls(L, scanned);
    lua_pushcfunction(L, [](lua_State* S) {
        lua_Debug ar;
        lua_getstack(S, 1, &ar);
        lua_getinfo(S, "l", &ar);
        lua_pushnumber(S, ar.currentline);
        return 1;
    });
    lua_setfield(L, LUA_GLOBALSINDEX, "where");
    EXPECT_EQ(lua_pcall(L, 0, 1, 0), 0);
    int line = static_cast<int>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return line;
}

TEST(CallLines, ACallRunsAtTheLineItClosesOnOnlyWhenTheTextMatches) {
    lua_State* L = luaL_newstate();
    const std::string code = "local a = 1\n"
                             "local line = where(a,\n"
                             "  a,\n"
                             "  a)\n"
                             "return line\n";
    EXPECT_EQ(callLine(L, code, code), 4);
    // Text whose calls are not the chunk's leaves the chunk as it is.
    EXPECT_EQ(callLine(L, code, "local line = where(a,\n  x(a))\n"), 2);
    EXPECT_EQ(callLine(L, code, "local line = where(a, a, a)\n"), 2);
    lua_close(L);
}

} // namespace
