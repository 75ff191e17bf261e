// The engine's side of the script host: the one interpreter, and the two ways
// the engine runs game scripts (a click handler's or timed event's file or
// text). Engine classes call these and know nothing of the interpreter.
#pragma once

struct lua_State;

// The one script interpreter; null until start-up opens it.
extern lua_State* game_state;

// Runs a script file on game_state; a missing file or an error in the script
// is reported by the interpreter and otherwise passed over.
void vondRunScriptFile(const char* file);
// Runs script text on game_state, errors as for vondRunScriptFile.
void vondRunScriptText(const char* text);
