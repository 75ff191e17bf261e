#include "stateMachine/statenetwork.h"

#include "saveload/saveload.h"

#include "vondLog.h"

namespace {

const std::string DEFAULT_VALUE = "";
const std::string NODE_SEPERATOR = ".";

} // namespace

const std::vector<std::list<StateNetwork::TreeNode>::iterator>*
StateNetwork::TreeNode::childrenNamed(const std::string& childName) const {
    auto found = childIndex.find(childName);
    return found == childIndex.end() ? nullptr : &found->second;
}

StateNetwork::StateNetwork(const std::string& setName) : root(setName), nameID(setName) {}

void StateNetwork::createNode(const NameArray& nodePath, const std::string& newNode) {
    createNodeSearch(1, nodePath, newNode, root);
}

void StateNetwork::removeNode(const NameArray& nodePath) {
    if (nodePath.lengthOf() < 2) return;
    removeNodeSearch(1, nodePath, root);
}

void StateNetwork::putNode(const NameArray& nodePath, const std::string& value,
                           EventNodes& nodes) {
    TreeNode* node = returnNode(1, nodePath, root);
    if (node == nullptr) return;
    const std::string written = value; // the caller's string may change while events fire
    node->value = written;
    notifyEvents(*node, written, nodes);
}

// Events fired here may write this same node again, which walks the list once
// more inside this walk. Fired one-shot events are therefore only marked spent
// (and skipped by every walk) and erased when the outermost walk ends.
void StateNetwork::notifyEvents(TreeNode& aNode, const std::string& value, EventNodes& nodes) {
    ++aNode.notifying;
    for (Event& event : aNode.events) {
        if (!event.isSpent() && event.notifyEvent(value, nodes)) event.markSpent();
    }
    if (--aNode.notifying == 0) aNode.events.remove_if([](const Event& e) { return e.isSpent(); });
}

std::string StateNetwork::getNode(const NameArray& nodePath) {
    TreeNode* node = returnNode(1, nodePath, root);
    return node == nullptr ? DEFAULT_VALUE : node->value;
}

void StateNetwork::attachEvent(const NameArray& nodePath, Event& newEvent) {
    TreeNode* node = returnNode(1, nodePath, root);
    if (node != nullptr) node->events.push_back(newEvent);
}

void StateNetwork::save(SaveLoad& aSave) {
    saveSearch(DEFAULT_VALUE, root, aSave);
}

void StateNetwork::traceOut() {
    trace("", root);
}

void StateNetwork::createNodeSearch(int32_t depth, const NameArray& nodePath,
                                    const std::string& newNodeName, TreeNode& aNode) {
    if (nodePath.lengthOf() <= depth) {
        aNode.children.emplace_back(newNodeName);
        aNode.childIndex[newNodeName].push_back(std::prev(aNode.children.end()));
        return;
    }
    const auto* matches = aNode.childrenNamed(nodePath.getSection(depth));
    if (matches == nullptr) return;
    // Creating below a match never adds a child to aNode, so the list is stable.
    for (auto child : *matches)
        createNodeSearch(depth + 1, nodePath, newNodeName, *child);
}

void StateNetwork::removeNodeSearch(int32_t depth, const NameArray& nodePath, TreeNode& aNode) {
    if (depth >= nodePath.lengthOf() - 1) {
        auto found = aNode.childIndex.find(nodePath.getSection(nodePath.lengthOf() - 1));
        if (found == aNode.childIndex.end()) return;
        aNode.children.erase(found->second.front());
        found->second.erase(found->second.begin());
        if (found->second.empty()) aNode.childIndex.erase(found);
        return;
    }
    const auto* matches = aNode.childrenNamed(nodePath.getSection(depth));
    if (matches == nullptr) return;
    for (auto child : *matches)
        removeNodeSearch(depth + 1, nodePath, *child);
}

// The first child of each name is followed even when the search below it finds
// nothing: later children of the same name are never looked at.
StateNetwork::TreeNode* StateNetwork::returnNode(int32_t depth, const NameArray& nodePath,
                                                 TreeNode& aNode) {
    TreeNode* node = &aNode;
    for (int32_t d = depth; d < nodePath.lengthOf(); ++d) {
        const auto* matches = node->childrenNamed(nodePath.getSection(d));
        if (matches == nullptr) return nullptr;
        node = &*matches->front();
    }
    return node;
}

void StateNetwork::saveSearch(std::string nodePath, TreeNode& aNode, SaveLoad& aSave) {
    if (nodePath == DEFAULT_VALUE)
        nodePath += aNode.name;
    else
        nodePath += NODE_SEPERATOR + aNode.name;
    aSave.newSet(nodePath, aNode.value);
    int32_t eventNum = 0;
    for (Event& event : aNode.events) {
        event.save(nodePath, eventNum, aSave);
        ++eventNum;
    }
    for (TreeNode& child : aNode.children)
        saveSearch(nodePath, child, aSave);
}

void StateNetwork::trace(std::string pathName, const TreeNode& aNode) {
    pathName += "." + aNode.name;
    vondTrace(pathName, ':', aNode.value);
    for (const TreeNode& child : aNode.children)
        trace(pathName, child);
}
