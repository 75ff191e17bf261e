// The Lua 4.0 translator: any bytes as a chunk. A chunk it accepts must come
// out as Lua 5.1 that 5.1 can compile (the engine runs nothing else), unless
// 5.1 refuses it for one of its own limits, which 4.0 counts differently.
#include "lua40/lua40_translate.h"

#include <lua.hpp>

#include <cstdio>
#include <string>

namespace {

lua_State* compiler = nullptr;

bool isLimitMessage(const std::string& message) {
    for (const char* limit :
         {"too many", "overflow", "too complex", "too large", "has more than", "not enough memory"})
        if (message.find(limit) != std::string::npos) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (compiler == nullptr) compiler = luaL_newstate();
    const std::string source(reinterpret_cast<const char*>(data), size);
    const lua40::Translation t = lua40::translate(source, "string \"fuzz\"");
    if (!t.ok) {
        if (t.error.empty()) __builtin_trap();
        return 0;
    }
    const int status = luaL_loadbuffer(compiler, t.code.data(), t.code.size(), "=fuzz");
    if (status != 0) {
        const std::string message = lua_tostring(compiler, -1);
        if (!isLimitMessage(message)) {
            std::fprintf(stderr, "accepted 4.0 chunk does not compile as 5.1: %s\n%s\n",
                         message.c_str(), t.code.c_str());
            __builtin_trap();
        }
    }
    lua_settop(compiler, 0);
    return 0;
}
