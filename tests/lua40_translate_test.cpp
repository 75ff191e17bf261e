// The 4.0-to-5.1 translator: tokens that look like other tokens, lines kept
// in place, and 4.0's syntax messages.
#include "lua40/lua40_translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

lua40::Translation translate(const std::string& source) {
    return lua40::translate(source, "string \"test\"");
}

// Line (1-based) of the first occurrence of `word' in `text', 0 if absent.
int lineOf(const std::string& text, const std::string& word) {
    size_t at = text.find(word);
    if (at == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

TEST(Translate, EveryTokenStaysOnItsLine) {
    lua40::Translation t = translate("local a = 1\n"
                                     "-- a comment\n"
                                     "s = [[one\ntwo]] .. alpha\n"
                                     "--[[ not a block comment\n"
                                     "beta = \"x\\\ny\" .. \"a\\nb\"\n"
                                     "function f(p)\n"
                                     "  return %gamma + p\n"
                                     "end\n"
                                     "for k, v in t do delta = k end\n"
                                     "epsilon = 1 < 2\n");
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(lineOf(t.code, " alpha"), 4); // not its name in the concat's error names
    EXPECT_EQ(lineOf(t.code, "beta"), 6);
    EXPECT_EQ(lineOf(t.code, "function"), 8);
    EXPECT_EQ(lineOf(t.code, "gamma"), 10); // copied where the closure is made, after `end'
    EXPECT_EQ(lineOf(t.code, "delta"), 11);
    EXPECT_EQ(lineOf(t.code, "epsilon"), 12);
    EXPECT_EQ(std::count(t.code.begin(), t.code.end(), '\n'), 12);
    EXPECT_EQ(lineOf(translate("x = 1\r\ns = [[a\r\nb]]\r\ny = 2\r\n").code, "y ="), 4);
}

TEST(Translate, TokensThatLookLikeOtherTokens) {
    const struct {
        const char *source, *present, *absent;
    } cases[] = {
        {"x = \"100% -- sure\" y = 1\n", "\"100% -- sure\"", nullptr},
        {"y = '--[[' z = \"%d\"\n", "\"--[[\" z = \"%d\"", nullptr},
        {"s = [[\na [[b]] c]]\n", "\"\\\na [[b]] c\"", nullptr},
        {"x = 1\r\ns = [[a\r\nb]]\r\n", "\"a\\r\\\nb\"", "\r"},
        {"x = 1 -- last", "x = 1", "last"},
        {"#!/bin/lua\nx = 1\n", "\nx = 1", "bin"},
        {"true = 1 t.in = false x = {in = 2}\n", "[\"in\"]", " true "},
        {"t = {1, 2, ; n = 2} u = {; n = 2}", "{ 1 , 2 ; n = 2 }) u = _NT40( { n = 2 }", nullptr},
    };
    for (const auto& c : cases) {
        lua40::Translation t = translate(c.source);
        ASSERT_TRUE(t.ok) << c.source << t.error;
        EXPECT_NE(t.code.find(c.present), std::string::npos) << c.source << "\n" << t.code;
        EXPECT_TRUE(!c.absent || t.code.find(c.absent) == std::string::npos) << t.code;
    }
}

TEST(Translate, SyntaxMessagesAsLua40ReportsThem) {
    const char* const at1 = " at line 1 in string \"test\"";
    const std::pair<const char*, std::string> cases[] = {
        {"x = 5 % 2", std::string("<name> expected;\n  last token read: `2'") + at1},
        {"for k in t do end", std::string("`=' or `,' expected;\n  last token read: `in'") + at1},
        {"x = 3..2", "ambiguous syntax (decimal point x string concatenation);\n"
                     "  last token read: `3..' at line 1 in string \"test\""},
        {"if x then\ny = 1\n", "`end' expected (to close `if' at line 1);\n"
                               "  last token read: `<eof>' at line 3 in string \"test\""},
        {"x = {1, n = 2}", std::string("`}' expected;\n  last token read: `='") + at1},
        {"x = %y", "cannot access upvalue in main"},
        {"function f() local a = 1 return function() return a end end",
         "cannot access a variable in outer scope"},
        {"function f() local a\nreturn function() return function() return %a end end end",
         "upvalue must be global or local to immediately outer scope"},
        {"function f() %a = 1 end", "syntax error"},
        {"x = \"abc\ny\"", "unfinished string"},
        {"x = [[abc", "unfinished long string"},
        {"x = \"\\300\"", "escape sequence too large"},
    };
    for (const auto& c : cases) {
        lua40::Translation t = translate(c.first);
        ASSERT_FALSE(t.ok) << c.first << "\n" << t.code;
        if (c.second.find("last token read") != std::string::npos)
            EXPECT_EQ(t.error, c.second);
        else
            EXPECT_NE(t.error.find(c.second), std::string::npos) << c.first << "\n" << t.error;
    }
}

} // namespace
