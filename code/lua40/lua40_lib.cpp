// C part of the 4.0 library (see lua40_lib.h).
#include "lua40/lua40_lib.h"

#include "lua40/lua40_errors.h"
#include "lua40/lua40_run.h"
#include "lua40/lua40_sources.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

namespace lua40 {

namespace {

// A first argument that is not the string a function wants, in the words of
// the library's own check (H.argError), which names the function as 4.0
// does; raised from here, so that no frame of the check stays on the stack.
int badFirstArgument(lua_State* L, const char* fname) {
    const char* got = "no value";
    if (lua_gettop(L) >= 1) got = lua_isboolean(L, 1) ? "nil" : luaL_typename(L, 1);
    std::string what = std::string("string expected, got ") + got;
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_getfield(L, -1, "argError");
    lua_pushnumber(L, 1);
    lua_pushstring(L, fname);
    lua_pushstring(L, what.c_str());
    lua_pcall(L, 3, 0, 0);
    return lua_error(L);
}

// A first argument that 4.0 reads with luaL_check_string: a string or a number.
bool isStringArgument(lua_State* L) {
    return lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER;
}

// 4.0's _ALERT writes with fputs: the text up to its first NUL.
int alertToStderr(lua_State* L) {
    if (lua_type(L, 1) == LUA_TNUMBER) {
        std::fputs(formatNumber(lua_tonumber(L, 1)).c_str(), stderr);
        return 0;
    }
    if (!isStringArgument(L)) return badFirstArgument(L, "_ALERT");
    std::fputs(lua_tostring(L, 1), stderr);
    return 0;
}

// H.strtoul(s, base): tonumber with a base, as 4.0 reads it with C's
// strtoul: spaces and a sign first (a negative value wraps around), then
// digits, then nothing but spaces; nil otherwise.
int unsignedNumber(lua_State* L) {
    const char* s = luaL_checkstring(L, 1);
    int base = static_cast<int>(luaL_checknumber(L, 2));
    char* end = nullptr;
    unsigned long n = std::strtoul(s, &end, base);
    if (end != s) {
        while (std::isspace(static_cast<unsigned char>(*end)))
            ++end;
        if (*end == '\0') {
            lua_pushnumber(L, static_cast<double>(n));
            return 1;
        }
    }
    lua_pushnil(L);
    return 1;
}

void callAlert(lua_State* L, const std::string& text) {
    pushEnvironment(L);
    lua_getfield(L, -1, "_ALERT");
    if (lua_isfunction(L, -1)) {
        lua_pushlstring(L, text.data(), text.size());
        lua_call(L, 1, 0);
    } else {
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
}

std::string messageArgument(lua_State* L) {
    if (lua_type(L, 1) == LUA_TNUMBER) return formatNumber(lua_tonumber(L, 1));
    return lua_tostring(L, 1);
}

// The level of the function an _ERRORMESSAGE reports on: above the error
// handler that called it (reportError), or, called by a script, its caller.
int reportedLevel(lua_State* L) {
    lua_Debug ar;
    if (!lua_getstack(L, 1, &ar)) return 1;
    lua_getinfo(L, "f", &ar);
    bool handler = lua_tocfunction(L, -1) == reportError;
    lua_pop(L, 1);
    return handler ? 2 : 1;
}

// The io library's _ERRORMESSAGE: "error: MSG", then the traceback.
int errorWithTraceback(lua_State* L) {
    if (!isStringArgument(L)) return badFirstArgument(L, "_ERRORMESSAGE");
    callAlert(L, "error: " + messageArgument(L) + "\n" + traceback(L, reportedLevel(L)));
    return 0;
}

// The base library's _ERRORMESSAGE: the message and the failing line. It
// takes a string only, not a number.
int errorWithLocation(lua_State* L) {
    if (lua_type(L, 1) != LUA_TSTRING) return badFirstArgument(L, "_ERRORMESSAGE");
    std::string text = "error: " + messageArgument(L);
    lua_Debug ar;
    if (lua_getstack(L, reportedLevel(L), &ar)) {
        lua_getinfo(L, "Sl", &ar);
        if (std::strcmp(ar.what, "C") != 0 && ar.currentline > 0)
            text += "\n  <" + chunkDisplay(ar.source, 43) + ": line " +
                    std::to_string(ar.currentline) + ">";
    }
    callAlert(L, text + "\n");
    return 0;
}

int exitProgram(lua_State* L) {
    int code = EXIT_SUCCESS;
    if (lua_gettop(L) >= 1) code = static_cast<int>(lua_tonumber(L, 1));
    std::fflush(nullptr);
    std::exit(code);
}

// "%p" of a userdata as 4.0 shows it; a 5.1 file shows its FILE*.
int pointerText(lua_State* L) {
    void* p = lua_touserdata(L, 1);
    if (lua_type(L, 1) == LUA_TUSERDATA && lua_getmetatable(L, 1)) {
        luaL_getmetatable(L, LUA_FILEHANDLE);
        if (lua_rawequal(L, -1, -2)) p = *static_cast<void**>(p);
        lua_pop(L, 2);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%p", p);
    lua_pushstring(L, text);
    return 1;
}

const char* const kStatusNames[] = {"ok",           "run-time error", "file error",
                                    "syntax error", "memory error",   "error in error handling"};

// Results of a chunk run from a script: its values, the null userdata when
// it returned none, or nil and the kind of failure.
int passResults(lua_State* L, int status, int base) {
    if (status == 0) {
        int n = lua_gettop(L) - base;
        if (n > 0) return n;
        lua_pushlightuserdata(L, nullptr);
        return 1;
    }
    lua_settop(L, base);
    lua_pushnil(L);
    lua_pushstring(L, kStatusNames[status]);
    return 2;
}

// dofile(name) and dostring(s [,name]) with their arguments already checked
// by the Lua side: H.run(source, chunkName).
// Each nested run takes one of 5.1's 200 levels of C calls, which its
// parser needs too: past kMaxRunDepth a run is 4.0's "stack overflow", raised
// where the enclosing run can still report it.
constexpr int kMaxRunDepth = 150;
constexpr const char* kRunDepthKey = "lua40.runDepth";

int runChunkForScript(lua_State* L) {
    size_t len;
    const char* source = luaL_checklstring(L, 1, &len);
    std::string name = luaL_checkstring(L, 2);
    lua_getfield(L, LUA_REGISTRYINDEX, kRunDepthKey);
    int depth = static_cast<int>(lua_tonumber(L, -1));
    if (depth >= kMaxRunDepth) {
        lua_pushstring(L, "stack overflow");
        return lua_error(L);
    }
    std::string text(source, len);
    lua_settop(L, 0);
    lua_pushnumber(L, depth + 1);
    lua_setfield(L, LUA_REGISTRYINDEX, kRunDepthKey);
    int status = loadChunk(L, text, name);
    if (status == 0) status = callChunk(L);
    lua_pushnumber(L, depth);
    lua_setfield(L, LUA_REGISTRYINDEX, kRunDepthKey);
    return passResults(L, status, 0);
}

// H.readfile(name): the file's text, or nil when it cannot be opened. A read
// that fails ends the text there, as the end of the file would (a folder
// opens and reads as an empty chunk).
int readWholeFile(lua_State* L) {
    const char* name = lua_tostring(L, 1);
    FILE* f = name != nullptr ? std::fopen(name, "rb") : stdin;
    if (f == nullptr) return 0;
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        luaL_addlstring(&b, buffer, n);
    if (f != stdin) std::fclose(f);
    luaL_pushresult(&b);
    return 1;
}

int fileNumber(lua_State* L) {
    FILE** f = static_cast<FILE**>(luaL_checkudata(L, 1, LUA_FILEHANDLE));
    lua_pushboolean(L, *f == stdin || *f == stdout || *f == stderr);
    return 1;
}

// H.clearError(file): forgets an earlier failure on the file. 5.1's read
// fails whenever the file's error flag is set, even if it read something;
// 4.0's read looks only at what it got.
int clearError(lua_State* L) {
    std::clearerr(*static_cast<FILE**>(luaL_checkudata(L, 1, LUA_FILEHANDLE)));
    return 0;
}

// H.readWord(file): read's "*w", as 4.0 reads it: spaces skipped, then
// everything up to the next space, which is put back (on stdin too); nil
// when no word is left.
int readWord(lua_State* L) {
    FILE* f = *static_cast<FILE**>(luaL_checkudata(L, 1, LUA_FILEHANDLE));
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    int c;
    do {
        c = std::fgetc(f);
    } while (std::isspace(c));
    while (c != EOF && !std::isspace(c)) {
        luaL_addchar(&b, static_cast<char>(c));
        c = std::fgetc(f);
    }
    std::ungetc(c, f);
    luaL_pushresult(&b);
    if (lua_objlen(L, -1) == 0) lua_pushnil(L);
    return 1;
}

// H.strftime(format): the local time through C's strftime given the whole
// format at once (its flags, widths and modifiers included) into 4.0's
// 256-byte buffer; nil when the result is empty or does not fit.
int formatDate(lua_State* L) {
    const char* format = luaL_checkstring(L, 1);
    std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[256];
    if (localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, format, &local) == 0)
        return 0;
    lua_pushstring(L, text);
    return 1;
}

// H.tmpname(): a fresh name of the shape C's tmpnam gives (/tmp/fileXXXXXX),
// made with mkstemp, which tmpnam's linker warning points to; the file is
// removed again, as tmpnam creates none.
int temporaryName(lua_State* L) {
    char name[] = "/tmp/fileXXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) {
        lua_pushnil(L);
        return 1;
    }
    close(fd);
    std::remove(name);
    lua_pushstring(L, name);
    return 1;
}

void runSource(lua_State* L, const char* source, const char* group) {
    if (luaL_loadbuffer(L, source, std::strlen(source), kLibrarySource) != 0) {
        std::fprintf(stderr, "lua40 library: %s\n", lua_tostring(L, -1));
        std::abort(); // the library code is part of the program
    }
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, group);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setfield(L, -3, group);
    }
    lua_remove(L, -2);
    pushEnvironment(L);
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_remove(L, -2);
    lua_call(L, 3, 0);
}

} // namespace

void installLibrary(lua_State* L) {
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, "H");
    static const luaL_Reg functions[] = {{"reportError", reportError},
                                         {"alert", alertToStderr},
                                         {"errorWithTraceback", errorWithTraceback},
                                         {"errorWithLocation", errorWithLocation},
                                         {"exit", exitProgram},
                                         {"pointerText", pointerText},
                                         {"run", runChunkForScript},
                                         {"readfile", readWholeFile},
                                         {"isStandardFile", fileNumber},
                                         {"readWord", readWord},
                                         {"clearError", clearError},
                                         {"strftime", formatDate},
                                         {"tmpname", temporaryName},
                                         {"strtoul", unsignedNumber},
                                         {nullptr, nullptr}};
    for (const luaL_Reg* r = functions; r->name != nullptr; ++r) {
        lua_pushcfunction(L, r->func);
        lua_setfield(L, -2, r->name);
    }
    lua_pushlightuserdata(L, nullptr);
    lua_setfield(L, -2, "null");
    lua_getfield(L, LUA_REGISTRYINDEX, kSilentKey);
    lua_setfield(L, -2, "silent");
    lua_pop(L, 2);
    runSource(L, kSharedSource, "shared");
    runSource(L, kBaseSource, "base");
    runSource(L, kTagSource, "base");
    runSource(L, kIoSource, "io");
    runSource(L, kStrSource, "str");
    runSource(L, kMathSource, "math");

    // Every library function, so that tracebacks show each as a frame.
    lua_newtable(L);
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        bool group = lua_istable(L, -1) && std::strcmp(lua_tostring(L, -2), "H") != 0;
        if (group) {
            lua_pushnil(L);
            while (lua_next(L, -2) != 0) {
                if (lua_isfunction(L, -1)) {
                    lua_pushboolean(L, 1);
                    lua_rawset(L, -7);
                } else {
                    lua_pop(L, 1);
                }
            }
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    // The argument checks find the library function they report on by it.
    // The math library's pow is one too, though no global holds it.
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, "H");
    lua_getfield(L, -1, "numberPow");
    lua_pushboolean(L, 1);
    lua_rawset(L, -5);
    lua_pushvalue(L, -3);
    lua_setfield(L, -2, "public");
    lua_pop(L, 2);
    lua_setfield(L, LUA_REGISTRYINDEX, kPublicKey);
}

void openLibraryGroup(lua_State* L, const char* group) {
    lua_getfield(L, LUA_REGISTRYINDEX, kLibraryKey);
    lua_getfield(L, -1, group);
    pushEnvironment(L);
    lua_pushnil(L);
    while (lua_next(L, -3) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, -4);
    }
    lua_pop(L, 2);
    // What the group does beyond setting globals (H.onOpen).
    lua_getfield(L, -1, "H");
    lua_getfield(L, -1, "onOpen");
    lua_getfield(L, -1, group);
    if (lua_isfunction(L, -1))
        lua_call(L, 0, 0);
    else
        lua_pop(L, 1);
    lua_pop(L, 3);
}

} // namespace lua40
