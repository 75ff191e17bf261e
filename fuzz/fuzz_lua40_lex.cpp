// The Lua 4.0 lexer: any bytes as a chunk. It must end every token list with
// TK_EOS, or fail with a message.
#include "lua40/lua40_lex.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    std::vector<lua40::Token> tokens;
    std::string error;
    if (lua40::tokenize(source, "string \"fuzz\"", tokens, error)) {
        if (tokens.empty() || tokens.back().type != lua40::TK_EOS) __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
