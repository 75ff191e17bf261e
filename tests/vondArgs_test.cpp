// The argument reader shared by every script function.
#include "vondArgs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ScriptConversions, IntTruncatesTowardZero) {
    EXPECT_EQ(vondToInt(2.9), 2);
    EXPECT_EQ(vondToInt(-2.9), -2);
    EXPECT_EQ(vondToInt(3.7), 3);
    EXPECT_EQ(vondToInt(-0.5), 0);
}

TEST(ScriptConversions, UnsignedKeepsTheLow32BitsOfA64BitTruncation) {
    EXPECT_EQ(vondToUnsigned(-1), 4294967295u);
    EXPECT_EQ(vondToUnsigned(16777215.9), 16777215u);
    EXPECT_EQ(vondToUnsigned(4294967296.0 + 5), 5u);
}

TEST(ScriptConversions, ByteKeepsTheLow8Bits) {
    EXPECT_EQ(vondToByte(300), 44);
    EXPECT_EQ(vondToByte(-1), 255);
    EXPECT_EQ(vondToByte(256), 0);
    EXPECT_EQ(vondToByte(263), 7);
}

TEST(ScriptConversions, HugeAndNotANumberValuesNeitherTrapNorOverflow) {
    EXPECT_EQ(vondToInt(1e300), 0);
    EXPECT_EQ(vondToInt(0.0 / 0.0), 0);
    EXPECT_EQ(vondToUnsigned(-1e300), 0u);
    EXPECT_EQ(vondToInt(1e12), static_cast<int>(static_cast<unsigned>(1000000000000LL & 0xFFFFFFFF)));
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

int lastReads[4];
std::string lastText;

int readFromLast(lua_State* L) {
    vondArgs a(L, 3, vondArgs::FROM_LAST);
    for (int k = 1; k <= 3; ++k) lastReads[k] = a.toInt(k);
    lastText = a.text(3);
    return 0;
}

int readFromFirst(lua_State* L) {
    vondArgs a(L, 3, vondArgs::FROM_FIRST);
    for (int k = 1; k <= 3; ++k) lastReads[k] = a.toInt(k);
    lastText = a.text(3);
    return 0;
}

TEST_F(ScriptArgs, CountedFromTheLastIgnoresExtraLeadingArguments) {
    call(readFromLast, "9, 2, 1, 7");
    EXPECT_EQ(lastReads[1], 2);
    EXPECT_EQ(lastReads[2], 1);
    EXPECT_EQ(lastReads[3], 7);
}

TEST_F(ScriptArgs, CountedFromTheLastWithTooFewReadsTheMissingFrontAsZero) {
    call(readFromLast, "5");
    EXPECT_EQ(lastReads[1], 0);
    EXPECT_EQ(lastReads[2], 0);
    EXPECT_EQ(lastReads[3], 5);
}

TEST_F(ScriptArgs, CountedFromTheFirstReadsMissingNumbersAsZeroAndTextAsEmpty) {
    call(readFromFirst, "4");
    EXPECT_EQ(lastReads[1], 4);
    EXPECT_EQ(lastReads[2], 0);
    EXPECT_EQ(lastReads[3], 0);
    EXPECT_EQ(lastText, "");
}

TEST_F(ScriptArgs, ComparisonsReadAsOneAndZeroAndNumbersAsTheir16DigitText) {
    call(readFromFirst, "1 == 1, 1 == 2, 1/3");
    EXPECT_EQ(lastReads[1], 1);
    EXPECT_EQ(lastReads[2], 0);
    EXPECT_EQ(lastText, "0.3333333333333333");
}

TEST_F(ScriptArgs, NonNumericTextReadsAsZeroAndNumericTextAsItsNumber) {
    call(readFromFirst, "'abc', '12', 'x'");
    EXPECT_EQ(lastReads[1], 0);
    EXPECT_EQ(lastReads[2], 12);
    EXPECT_EQ(lastText, "x");
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
