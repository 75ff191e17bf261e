// The one diagnostics path of the program: the error log, the fatal exit, and
// the state machine's trace lines and warnings.
//
// Every module writes through these helpers and nothing else, so the log's
// format (plain text, numbers in decimal, one flushed line per message) and
// the way the program ends live in one place. The header includes neither the
// engine nor the script host: the tile-graphics library sees only this.
#pragma once

#include <fstream>
#include <iostream>

// The error log "vonderror.log", opened at start-up and closed by the exit routine.
extern std::ofstream vondError;

// Writes one message to the log and ends its line (which flushes).
template <typename... Parts>
void vondLog(const Parts&... parts) {
    (vondError << ... << parts) << std::endl;
}

// Writes a message without ending its line: the next message continues it.
template <typename... Parts>
void vondLogOpen(const Parts&... parts) {
    (vondError << ... << parts) << std::flush;
}

// Ends the program with the given status through exit(), so that the exit
// routine registered at start-up writes its closing lines.
[[noreturn]] void vondExit(int status);

#ifdef VOND_FUZZING
// In the fuzz build an exit ends the input being tried, not the fuzzer: the
// fatal errors are expected outcomes there. vondExit records its status in
// vondExitStatus and throws a vondExitRequest for the harness to catch. Lua's
// protected calls catch every exception, so a harness that runs scripts looks
// at vondExitStatus as well, and starts afresh after an exit.
struct vondExitRequest {
    int status;
};
extern int vondExitStatus; // -1 until an exit is asked for
#endif

// A fatal error: the message as one log line, then exit status 1.
template <typename... Parts>
[[noreturn]] void vondFatal(const Parts&... parts) {
    vondLog(parts...);
    vondExit(1);
}

// One trace line of the state machine on standard output, flushed at once so
// that it interleaves correctly with whatever else the game prints.
template <typename... Parts>
void vondTrace(const Parts&... parts) {
    (std::cout << ... << parts) << '\n' << std::flush;
}

// One warning line on standard error: what the state machine and the save
// store report that is not part of the game's own output.
template <typename... Parts>
void vondWarn(const Parts&... parts) {
    (std::cerr << ... << parts) << std::endl;
}
