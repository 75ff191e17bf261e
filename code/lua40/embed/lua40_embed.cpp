// Build-time tool: checks the 4.0 library's Lua sources with Lua 5.1's own
// parser and writes them into a C++ source as text constants.
//
//   lua40_embed OUTPUT.cpp NAME=FILE.lua ...
//
// Every file is compiled (not run) with luaL_loadbuffer; a syntax error ends
// the build with Lua's "FILE:LINE: message" and writes nothing. Otherwise
// OUTPUT.cpp defines, in namespace lua40, `const char* const NAME' holding the
// file's text byte for byte (declared in lua40_sources.h).
#include <lua.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

// Syntax errors only: the chunk is compiled and dropped.
bool compiles(lua_State* L, const std::string& path, const std::string& text) {
    std::string chunkName = "@" + path;
    if (luaL_loadbuffer(L, text.data(), text.size(), chunkName.c_str()) == 0) {
        lua_pop(L, 1);
        return true;
    }
    std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
    lua_pop(L, 1);
    return false;
}

// The text as a C++ string literal, one source line per literal line.
std::string literal(const std::string& text) {
    std::string out = "    \"";
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            out += "\\n\"";
            if (i + 1 < text.size()) out += "\n    \"";
            continue;
        }
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 32 || c >= 127) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.empty() || text.back() != '\n') out += "\"";
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp NAME=FILE.lua ...\n", argv[0]);
        return 2;
    }
    lua_State* L = luaL_newstate();
    if (L == nullptr) return 1;
    std::string out = "// Made by lua40_embed from code/lua40/lib/*.lua; edit those files.\n"
                      "#include \"lua40/lua40_sources.h\"\n\nnamespace lua40 {\n";
    bool ok = true;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "lua40_embed: %s is not NAME=FILE\n", argv[i]);
            ok = false;
            continue;
        }
        std::string name = argument.substr(0, equals), path = argument.substr(equals + 1), text;
        if (!readFile(path, text)) {
            std::fprintf(stderr, "lua40_embed: cannot read %s\n", path.c_str());
            ok = false;
            continue;
        }
        if (!compiles(L, path, text)) {
            ok = false;
            continue;
        }
        out += "\nconst char* const " + name + " =\n" + literal(text) + ";\n";
    }
    lua_close(L);
    if (!ok) return 1;
    out += "\n} // namespace lua40\n";
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out;
    file.close();
    if (!file) {
        std::fprintf(stderr, "lua40_embed: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
