// The registry of every state network of the running game.
//
// It owns the networks, finds one by the first section of a dotted name and
// forwards node operations to it. Operations that name no network are passed
// over (getNode then gives the empty string). Names need not be unique: every
// lookup takes the first network, in creation order, with that exact name.
#pragma once

#include "event/event.h"

#include <cstdint>
#include <list>
#include <string>

class SaveLoad;
class StateNetwork;

class StateMachine : public EventNodes {
  public:
    static StateMachine* Instance();

    void createNetwork(const std::string& networkName);
    void removeNetwork(const std::string& networkName);
    void createNode(const std::string& nodePath, const std::string& newNode);
    void removeNode(const std::string& nodePath);
    std::string getNode(const std::string& nodePath) override;
    void putNode(const std::string& nodePath, const std::string& value) override;
    void putNode(const std::string& nodePath, int32_t value);
    void attachEvent(const std::string& nodePath, Event& aEvent);
    void traceOut(const std::string& networkName);
    // Adds the network's pairs to the store; false when no network has the name.
    bool saveNetwork(const std::string& networkName, SaveLoad& aSave);
    // Writes every pair of the store, in order, as a node write; pairs whose
    // key names no node (the event keys of a saved file) are passed over.
    void loadNetwork(const std::string& networkName, const SaveLoad& aSave);

  protected:
    StateMachine();
    StateNetwork* returnNetwork(const std::string& networkName);

  private:
    static StateMachine* pinstance;
    std::list<StateNetwork> networks;
};
