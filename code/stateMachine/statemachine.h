// PLACEHOLDER until the state machine lands.
#pragma once
class StateMachine {
  public:
    static StateMachine* Instance();
};
