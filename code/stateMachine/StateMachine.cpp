#include "stateMachine/statemachine.h"

#include "saveload/saveload.h"
#include "stateMachine/NameArray.h"
#include "stateMachine/statenetwork.h"

#include "vondLog.h"

StateMachine* StateMachine::pinstance = nullptr;

// Lives until the program ends; never destroyed while scripts run.
StateMachine* StateMachine::Instance() {
    if (pinstance == nullptr) pinstance = new StateMachine();
    return pinstance;
}

StateMachine::StateMachine() = default;

StateNetwork* StateMachine::returnNetwork(const std::string& networkName) {
    for (StateNetwork& network : networks)
        if (network.getID() == networkName) return &network;
    return nullptr;
}

void StateMachine::createNetwork(const std::string& networkName) {
    networks.emplace_back(networkName);
}

void StateMachine::removeNetwork(const std::string& networkName) {
    for (auto it = networks.begin(); it != networks.end(); ++it) {
        if (it->getID() == networkName) {
            networks.erase(it);
            return;
        }
    }
}

void StateMachine::createNode(const std::string& nodePath, const std::string& newNode) {
    NameArray path(nodePath);
    if (StateNetwork* network = returnNetwork(path.getSection(0)))
        network->createNode(path, newNode);
}

void StateMachine::removeNode(const std::string& nodePath) {
    NameArray path(nodePath);
    if (StateNetwork* network = returnNetwork(path.getSection(0))) network->removeNode(path);
}

std::string StateMachine::getNode(const std::string& nodePath) {
    NameArray path(nodePath);
    StateNetwork* network = returnNetwork(path.getSection(0));
    return network == nullptr ? std::string() : network->getNode(path);
}

void StateMachine::putNode(const std::string& nodePath, const std::string& value) {
    NameArray path(nodePath);
    if (StateNetwork* network = returnNetwork(path.getSection(0))) network->putNode(path, value, *this);
}

void StateMachine::putNode(const std::string& nodePath, int32_t value) {
    putNode(nodePath, std::to_string(value));
}

void StateMachine::attachEvent(const std::string& nodePath, Event& aEvent) {
    NameArray path(nodePath);
    if (StateNetwork* network = returnNetwork(path.getSection(0)))
        network->attachEvent(path, aEvent);
}

void StateMachine::traceOut(const std::string& networkName) {
    StateNetwork* network = returnNetwork(networkName);
    if (network == nullptr) return;
    vondTrace();
    vondTrace("TraceOut of network, '", network->getID(), "'");
    network->traceOut();
    vondTrace("***************");
    vondTrace();
}

bool StateMachine::saveNetwork(const std::string& networkName, SaveLoad& aSave) {
    StateNetwork* network = returnNetwork(networkName);
    if (network == nullptr) return false;
    network->save(aSave);
    return true;
}

// The network name takes no part: each key names its own network, as written.
void StateMachine::loadNetwork(const std::string& /*networkName*/, const SaveLoad& aSave) {
    for (int32_t pos = 0; pos < aSave.size(); ++pos) {
        const SaveLoadType entry = aSave.getPair(pos);
        putNode(entry.key, entry.pair);
    }
}
