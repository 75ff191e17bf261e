// The argument reader shared by every script function.
#include "vondArgs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// int: truncated toward zero; unsigned: the low 32 bits of a 64-bit
// truncation; byte: the low 8 bits. Huge and NaN values must neither trap nor
// overflow (the sanitizer would stop the test).
TEST(ScriptConversions, NumbersTruncateTowardZeroAndKeepTheirLowBits) {
    const auto asInt = [](double v) -> long long { return vondToInt(v); };
    const auto asUnsigned = [](double v) -> long long { return vondToUnsigned(v); };
    const auto asByte = [](double v) -> long long { return vondToByte(v); };
    const struct {
        long long (*convert)(double);
        double value;
        long long expected;
    } cases[] = {
        {asInt, 2.9, 2},
        {asInt, -2.9, -2},
        {asInt, 1e300, 0},
        {asInt, 0.0 / 0.0, 0},
        {asInt, 1e12, int(1000000000000LL & 0xFFFFFFFF)},
        {asUnsigned, -1, 4294967295},
        {asUnsigned, 16777215.9, 16777215},
        {asUnsigned, 4294967296.0 + 5, 5},
        {asUnsigned, -1e300, 0},
        {asByte, 300, 44},
        {asByte, -1, 255},
        {asByte, 256, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.convert(c.value), c.expected) << "case " << (&c - cases);
}

// Calls a C function from a 4.0 script with the given argument list source.
class ScriptArgs : public ::testing::Test {
  protected:
    void SetUp() override {
        L = lua_open(0);
        lua_baselibopen(L);
        lua_strlibopen(L);
    }
    void TearDown() override { lua_close(L); }
    void call(lua_CFunction f, const char* args) {
        lua_register(L, "f", f);
        std::string chunk = std::string("f(") + args + ")";
        ASSERT_EQ(lua_dostring(L, chunk.c_str()), 0) << chunk;
    }
    lua_State* L = nullptr;
};

vondArgs::Direction direction;
int lastReads[4];
std::string lastText;

int readThree(lua_State* L) {
    vondArgs a(L, 3, direction);
    for (int k = 1; k <= 3; ++k)
        lastReads[k] = a.toInt(k);
    lastText = a.text(3);
    return 0;
}

// Counted from the last, extra leading arguments are ignored and missing ones
// read as zero; counted from the first, missing numbers read as zero and
// missing text as empty. Comparisons (1 or nil) read as 1 and 0, numbers as their 16-digit
// text, and text as its number or zero.
TEST_F(ScriptArgs, ArgumentsAreCountedFromTheLastOrTheFirstAndConverted) {
    const struct {
        vondArgs::Direction direction;
        const char* args;
        int reads[3];
        const char* text;
    } cases[] = {
        {vondArgs::FROM_LAST, "9, 2, 1, 7", {2, 1, 7}, "7"},
        {vondArgs::FROM_LAST, "5", {0, 0, 5}, "5"},
        {vondArgs::FROM_FIRST, "4", {4, 0, 0}, ""},
        {vondArgs::FROM_FIRST, "1 == 1, 1 == 2, 1/3", {1, 0, 0}, "0.3333333333333333"},
        {vondArgs::FROM_FIRST, "'abc', '12', 'x'", {0, 12, 0}, "x"},
    };
    for (const auto& c : cases) {
        direction = c.direction;
        call(readThree, c.args);
        EXPECT_EQ(std::vector<int>(lastReads + 1, lastReads + 4),
                  std::vector<int>(c.reads, c.reads + 3))
            << c.args;
        EXPECT_EQ(lastText, c.text) << c.args;
    }
}

// The state machine's reading: text or a number (as its text, ending at a
// NUL) where one was given, nothing read otherwise.
std::vector<std::string> texts;

int readTexts(lua_State* L) {
    vondArgs a(L, 5, vondArgs::FROM_LAST);
    texts.clear();
    for (int k = 1; k <= 5; ++k) {
        std::string text = "untouched";
        texts.push_back(a.readText(k, text) ? text : "refused:" + text);
    }
    return 0;
}

TEST_F(ScriptArgs, TextIsReadOnlyWhereTextOrANumberWasGiven) {
    call(readTexts, "nil, {}, 1/3, strchar(97, 0, 98)");
    EXPECT_EQ(texts, (std::vector<std::string>{"refused:untouched", "refused:untouched",
                                               "refused:untouched", "0.3333333333333333", "a"}));
}

} // namespace
