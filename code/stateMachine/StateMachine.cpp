// PLACEHOLDER until the state machine lands.
#include "stateMachine/statemachine.h"
#include "stateMachine/statemachine_binding.h"
StateMachine* StateMachine::Instance() { static StateMachine registry; return &registry; }
int l_StateMachineInit(lua_State*) { return 0; }
