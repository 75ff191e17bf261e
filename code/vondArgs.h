// The arguments of one script function call, read the one way both glues
// read them: the engine's functions (vondScriptFuncs) and the state machine's
// (StateMachine_Binding).
//
// A function reads a fixed number of arguments counted from the first one
// given or from the last one; extra arguments at the other end are passed
// over. The engine's functions read a missing number as 0 and a missing text
// as the empty string, and truncate numbers to int, unsigned or byte; the
// state machine's take text (or a number, as its text) only where one was
// given, and pass the call over otherwise. Text is a C string: an embedded
// NUL ends it. Lua 4.0 has no booleans (comparisons give 1 or nil), so there
// are none to read.
#pragma once

#include "lua40/lua40.h"

#include <cmath>
#include <cstdint>
#include <string>

// Truncates toward zero into 64 bits; NaN and values beyond 64 bits read as 0.
inline int64_t vondTruncate64(double d) {
    if (std::isnan(d) || d >= 9.2e18 || d <= -9.2e18) return 0;
    return static_cast<int64_t>(d);
}

// Number conversions of the script interface, by truncation toward zero.
inline int vondToInt(double d) {
    return static_cast<int32_t>(static_cast<uint32_t>(vondTruncate64(d)));
}
inline unsigned vondToUnsigned(double d) {
    return static_cast<uint32_t>(vondTruncate64(d));
}
inline unsigned char vondToByte(double d) {
    return static_cast<unsigned char>(vondTruncate64(d) & 0xFF);
}

class vondArgs {
  public:
    enum Direction { FROM_FIRST, FROM_LAST };

    // count is how many arguments the function reads; counted FROM_LAST,
    // argument 1 is the count-th from the last one given. A function of any
    // number of arguments reads FROM_FIRST with count 0.
    vondArgs(lua_State* L, int count, Direction direction)
        : L(L), count(count), direction(direction), top(lua_gettop(L)) {}

    bool has(int k) const { return index(k) != 0; }
    // How many arguments were given.
    int passed() const { return top; }

    // Argument k as a number: 0 when missing or not a number (or numeric text).
    // Inline: every engine function reads its numbers through it.
    double number(int k) const {
        int i = index(k);
        return i != 0 ? lua_tonumber(L, i) : 0;
    }
    int toInt(int k) const { return vondToInt(number(k)); }
    unsigned toUnsigned(int k) const { return vondToUnsigned(number(k)); }
    unsigned char toByte(int k) const { return vondToByte(number(k)); }

    // Whether argument k was given as text or as a number.
    bool isText(int k) const {
        int i = index(k);
        return i != 0 && lua_isstring(L, i);
    }
    // Argument k as text, a number written as 4.0 writes it ("%.16g"); the
    // empty string when it is missing or neither text nor a number.
    std::string text(int k) const {
        int i = index(k);
        const char* s = i != 0 ? lua_tostring(L, i) : nullptr;
        return s != nullptr ? std::string(s) : std::string();
    }
    // Argument k as text into `text' when it was given as text or a number;
    // false, and `text' untouched, otherwise.
    bool readText(int k, std::string& text) const {
        if (!isText(k)) return false;
        text = this->text(k);
        return true;
    }

  private:
    // Stack index of argument k (1-based), or 0 when it was not given.
    int index(int k) const {
        int i = direction == FROM_FIRST ? k : top + k - count;
        return i >= 1 && i <= top ? i : 0;
    }

    lua_State* L;
    int count;
    Direction direction;
    int top;
};
