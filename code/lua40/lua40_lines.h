// The line a call is reported at. 4.0 gives a call the line of the token that
// ends it (the closing parenthesis or brace, the last operand of a `..'
// chain); 5.1 gives it the line of its opening parenthesis. The two differ
// for a call written across lines: in the "at line" of a traceback, of the
// frames waiting for a call, and of an error the call itself raises.
#pragma once

#include "lua40/lua40_51.h"

#include <string>
#include <utility>
#include <vector>

namespace lua40 {

// The calls of a 5.1 chunk's text: for each function, in the order 5.1
// numbers its functions (the chunk first, then each nested function where it
// begins), the lines each call opens and closes on, in the order 5.1 compiles
// the calls (that of their closing parentheses).
using CallLines = std::vector<std::vector<std::pair<int, int>>>;
CallLines scanCallLines(const std::string& code);

// Replaces the function on the top of the stack, just loaded from code, by
// the same function with each call at the line it closes on. Leaves it as it
// is if its compiled calls do not match those of the text one for one.
void relineCalls(lua_State* L, const std::string& code);

} // namespace lua40
