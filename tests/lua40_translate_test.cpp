// The 4.0-to-5.1 translator: tokens that look like other tokens, lines kept
// in place, and 4.0's syntax messages.
#include "lua40/lua40_translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

const char* const kChunk = "string \"test\"";

std::string translated(const std::string& source) {
    lua40::Translation t = lua40::translate(source, kChunk);
    EXPECT_TRUE(t.ok) << t.error;
    return t.code;
}

std::string syntaxError(const std::string& source) {
    lua40::Translation t = lua40::translate(source, kChunk);
    EXPECT_FALSE(t.ok) << t.code;
    return t.error;
}

// Line (1-based) of the first occurrence of `word' in `text', 0 if absent.
int lineOf(const std::string& text, const std::string& word) {
    size_t at = text.find(word);
    if (at == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

TEST(TranslateLines, EveryTokenStaysOnItsLine) {
    const std::string source = "local a = 1\n"
                               "-- a comment\n"
                               "s = [[one\ntwo]] .. alpha\n"
                               "--[[ not a block comment\n"
                               "beta = \"x\\\ny\"\n"
                               "function f(p)\n"
                               "  return %gamma + p\n"
                               "end\n"
                               "for k, v in t do delta = k end\n"
                               "epsilon = 1 < 2\n";
    std::string out = translated(source);
    EXPECT_EQ(lineOf(out, "alpha"), 4);
    EXPECT_EQ(lineOf(out, "beta"), 6);
    EXPECT_EQ(lineOf(out, "function"), 8);
    EXPECT_EQ(lineOf(out, "gamma"), 10); // copied where the closure is made, after `end'
    EXPECT_EQ(lineOf(out, "delta"), 11);
    EXPECT_EQ(lineOf(out, "epsilon"), 12);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 12);
}

TEST(TranslateLines, CallContinuedOnTheNextLineIsJoined) {
    std::string out = translated("f\n(1)\n");
    EXPECT_EQ(lineOf(out, "f ("), 1) << out;
    EXPECT_EQ(lineOf(out, "1"), 2) << out;
}

TEST(TranslateTokens, StringsHoldingCommentAndPercentMarksStayStrings) {
    std::string out = translated("x = \"100% -- sure\" y = '--[[' z = \"%d\"\n");
    EXPECT_NE(out.find("\"100% -- sure\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"--[[\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"%d\""), std::string::npos) << out;
}

TEST(TranslateTokens, EscapedNewlineTakesNoLineButBackslashNewlineDoes) {
    std::string out = translated("x = \"a\\nb\" y = 1\nz = \"c\\\nd\" w = 2\nv = 3\n");
    EXPECT_EQ(lineOf(out, "y = 1"), 1) << out;
    EXPECT_EQ(lineOf(out, "w = 2"), 3) << out;
    EXPECT_EQ(lineOf(out, "v = 3"), 4) << out;
}

TEST(TranslateTokens, NestedLongStringKeepsInnerBracketsAndLeadingNewline) {
    std::string out = translated("s = [[\na [[b]] c]]\n");
    EXPECT_NE(out.find("\"\\\na [[b]] c\""), std::string::npos) << out;
}

TEST(TranslateTokens, LongStringKeepsCarriageReturnsOfCrLfFiles) {
    std::string out = translated("x = 1\r\ns = [[a\r\nb]]\r\ny = 2\r\n");
    EXPECT_NE(out.find("\"a\\r\\\nb\""), std::string::npos) << out;
    EXPECT_EQ(lineOf(out, "y ="), 4);
    EXPECT_EQ(out.find('\r'), std::string::npos);
}

TEST(TranslateTokens, CommentAtEndOfFileWithoutNewline) {
    std::string out = translated("x = 1 -- last");
    EXPECT_NE(out.find("x = 1"), std::string::npos);
    EXPECT_EQ(out.find("last"), std::string::npos);
}

TEST(TranslateTokens, LeadingHashLineIsSkippedButCounted) {
    std::string out = translated("#!/bin/lua\nx = 1\n");
    EXPECT_EQ(lineOf(out, "x = 1"), 2);
    EXPECT_EQ(out.find("bin"), std::string::npos);
}

TEST(TranslateTokens, WordsReservedOnlyIn51BecomeOrdinaryNames) {
    std::string out = translated("true = 1 t.in = false x = {in = 2}\n");
    EXPECT_EQ(out.find(" true "), std::string::npos) << out;
    EXPECT_EQ(out.find(" false "), std::string::npos) << out;
    EXPECT_NE(out.find("[\"in\"]"), std::string::npos) << out;
}

TEST(TranslateCode, PlainArithmeticAndCallsTranslateToThemselves) {
    std::string out = translated("x = a * b + c / d - e ^ 2\nf(x, g(y))\nt.k = t[i]\n");
    EXPECT_NE(out.find("x = a * b + c / d - e ^ 2"), std::string::npos) << out;
    EXPECT_NE(out.find("f ( x , g ( y ) )"), std::string::npos) << out;
    EXPECT_NE(out.find("t .k = t [ i ]"), std::string::npos) << out;
}

TEST(TranslateCode, ConstructorSeparatorsThat51RejectsAreDropped) {
    EXPECT_NE(translated("t = {1, 2, ; n = 2}").find("{ 1 , 2 ; n = 2 }"), std::string::npos);
    EXPECT_NE(translated("t = {; n = 2}").find("{ n = 2 }"), std::string::npos);
}

TEST(TranslateCode, ConditionsKeepComparisonsButValuesGetOneOrNil) {
    std::string cond = translated("if a < b then end\n");
    EXPECT_EQ(cond.find("and 1 or nil"), std::string::npos) << cond;
    std::string value = translated("x = a < b\n");
    EXPECT_NE(value.find("and 1 or nil"), std::string::npos) << value;
}

TEST(TranslateCode, AndAfterOrIsGroupedLeftToRight) {
    std::string out = translated("x = a or b and c\n");
    EXPECT_NE(out.find("( a or b ) and c"), std::string::npos) << out;
}

TEST(SyntaxMessages, AsLua40ReportsThem) {
    EXPECT_EQ(syntaxError("x = = 1"),
              "<expression> expected;\n  last token read: `=' at line 1 in string \"test\"");
    EXPECT_EQ(syntaxError("x = 5 % 2"),
              "<name> expected;\n  last token read: `2' at line 1 in string \"test\"");
    EXPECT_EQ(syntaxError("for k in t do end"),
              "`=' or `,' expected;\n  last token read: `in' at line 1 in string \"test\"");
    EXPECT_EQ(syntaxError("x = 3..2"), "ambiguous syntax (decimal point x string concatenation);\n"
                                       "  last token read: `3..' at line 1 in string \"test\"");
    EXPECT_EQ(syntaxError("if x then\ny = 1\n"),
              "`end' expected (to close `if' at line 1);\n"
              "  last token read: `<eof>' at line 3 in string \"test\"");
    EXPECT_EQ(syntaxError("x = {1, n = 2}"),
              "`}' expected;\n  last token read: `=' at line 1 in string \"test\"");
}

TEST(SyntaxMessages, ScopeRulesOfUpvalues) {
    EXPECT_NE(syntaxError("x = %y").find("cannot access upvalue in main"), std::string::npos);
    EXPECT_NE(syntaxError("function f() local a = 1 return function() return a end end")
                  .find("cannot access a variable in outer scope"),
              std::string::npos);
    EXPECT_NE(syntaxError("function f() local a\nreturn function() return function() "
                          "return %a end end end")
                  .find("upvalue must be global or local to immediately outer scope"),
              std::string::npos);
    EXPECT_NE(syntaxError("function f() %a = 1 end").find("syntax error"), std::string::npos);
}

TEST(SyntaxMessages, UnfinishedStrings) {
    EXPECT_NE(syntaxError("x = \"abc\ny\"").find("unfinished string"), std::string::npos);
    EXPECT_NE(syntaxError("x = [[abc").find("unfinished long string"), std::string::npos);
    EXPECT_NE(syntaxError("x = \"\\300\"").find("escape sequence too large"), std::string::npos);
}

} // namespace
