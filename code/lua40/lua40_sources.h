// The host's Lua code, kept in code/lua40/lib/*.lua and built into the
// program by lua40_embed, which also checks it for syntax errors at build
// time. All of it is loaded under the chunk name "=(lua40)" (kLibrarySource),
// so that tracebacks show its frames as C functions, as 4.0's own libraries
// are C.
//
// Each file runs with (lib, env, H): the table of the group it fills, the
// scripts' environment and the helpers the files share; helpers.lua alone
// runs with H only and returns the loop checks. Each file's code starts
// on line 2, below a one-line heading, and what more there is to say about a
// file is said here:
//   shared.lua   argument checks of all four libraries: an optional argument
//                counts as absent only when it is not passed at all, an
//                explicit nil is checked
//   base.lua     the base library
//   tag.lua      tags, tag methods and the table of globals (part of the
//                base library): the metatables 5.1 consults, each carrying the
//                metamethods its tag's methods need and only those; tables
//                kept empty for gettable/settable; the environment chunks run
//                in and the table globals() gives; the walk that finds the
//                tables scripts hold
//   io.lua       the io library on 5.1's io and os: file handles are 5.1
//                files shown with tags 6 (open) and 7 (closed), read and write
//                go to the files in the globals _INPUT and _OUTPUT, numbers
//                are written with "%.16g", and failures return nil, the system
//                message and errno
//   str.lua      the string library. Patterns run on 5.1's matcher after two
//                4.0 differences are taken care of: `()' captures an empty
//                string, and `%f' is a plain `f'
//   math.lua     the math library. Trigonometry works in degrees, as 4.0's
//                default build does; opening it installs the number tag's pow
//                method, which `^' runs for anything but two numbers
//   helpers.lua  the checks of translated `for' loops, 4.0's `..' of other
//                values than text, constructors built in 4.0's order (the
//                helpers of lua40_translate.h)
#pragma once

namespace lua40 {

extern const char* const kSharedSource;
extern const char* const kBaseSource;
extern const char* const kTagSource;
extern const char* const kIoSource;
extern const char* const kStrSource;
extern const char* const kMathSource;
extern const char* const kHelperSource;

} // namespace lua40
