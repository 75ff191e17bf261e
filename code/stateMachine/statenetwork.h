// One named tree of string-valued nodes.
//
// Nodes are addressed by a NameArray whose section 0 names the network (the
// registry has already chosen the network by it), so every walk starts at
// depth 1 on the root. Children may share a name: lookups take the first in
// creation order, while creating and removing act below every match of the
// intermediate sections. Each node keeps an index from child name to its
// children of that name, in creation order, so a lookup costs one hash probe
// per section however wide the tree is.
#pragma once

#include "event/event.h"
#include "stateMachine/NameArray.h"

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

class SaveLoad;

class StateNetwork {
  public:
    struct TreeNode {
        explicit TreeNode(const std::string& nodeName) : name(nodeName) {}
        // Nodes stay where they were built: the child index points at them.
        TreeNode(const TreeNode&) = delete;
        TreeNode& operator=(const TreeNode&) = delete;

        std::string name;
        std::string value;
        std::list<Event> events;
        std::list<TreeNode> children;

        // Children of each name, in creation order.
        std::unordered_map<std::string, std::vector<std::list<TreeNode>::iterator>> childIndex;
        // Walks of `events` in progress; spent events are swept when it drops to 0.
        int32_t notifying = 0;

        // The children named childName, first in creation order; null when none.
        const std::vector<std::list<TreeNode>::iterator>*
        childrenNamed(const std::string& childName) const;
    };

    explicit StateNetwork(const std::string& setName);
    StateNetwork(const StateNetwork&) = delete;
    StateNetwork& operator=(const StateNetwork&) = delete;

    void createNode(const NameArray& nodePath, const std::string& newNode);
    // A one-section path names the root, which cannot be removed: nothing happens.
    void removeNode(const NameArray& nodePath);
    // putNode, getNode and attachEvent pass over a path that names no node;
    // getNode then gives the empty string.
    // Events fired by the write change nodes through `nodes`, the registry.
    void putNode(const NameArray& nodePath, const std::string& value, EventNodes& nodes);
    std::string getNode(const NameArray& nodePath);
    void attachEvent(const NameArray& nodePath, Event& newEvent);
    void save(SaveLoad& aSave);
    void traceOut();
    std::string getID() const { return nameID; }

    // Bound on writes nested inside event firings (each event may write a node
    // whose events write further nodes): every nested write lies inside an
    // event firing, so the bound on firings bounds them too. Deeper writes
    // store their value but fire no events.
    static constexpr int32_t MAX_NESTED_WRITES = Event::MAX_FIRING_DEPTH;

  protected:
    void createNodeSearch(int32_t depth, const NameArray& nodePath, const std::string& newNodeName,
                          TreeNode& aNode);
    void removeNodeSearch(int32_t depth, const NameArray& nodePath, TreeNode& aNode);
    TreeNode* returnNode(int32_t depth, const NameArray& nodePath, TreeNode& aNode);
    void saveSearch(std::string nodePath, TreeNode& aNode, SaveLoad& aSave);
    void trace(std::string pathName, const TreeNode& aNode);

  private:
    void notifyEvents(TreeNode& aNode, const std::string& value, EventNodes& nodes);

    TreeNode root;
    std::string nameID;
};
