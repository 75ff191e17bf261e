// Rules attached to state-network nodes.
//
// An Event waits for its node to be written with one value. Firing performs
// the event's own action (trace lines on standard output, or a change of some
// node through the state-machine registry), then fires the events chained to
// it, depth first, and tells its owner whether it is used up (one-shot).
// Events are values: attaching or chaining copies them, chain included. An
// event can write itself into a SaveLoad store under keys derived from its
// node's key; nothing reads those keys back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

class SaveLoad;

// The nodes a firing event reads and changes: the registry of the networks.
// Handed down with every notification, so that events know no registry of
// their own and the event module depends on no other.
class EventNodes {
  public:
    virtual std::string getNode(const std::string& nodePath) = 0;
    virtual void putNode(const std::string& nodePath, const std::string& value) = 0;

  protected:
    ~EventNodes() = default;
};

class Event {
  public:
    enum EVENT_TYPE : int32_t { CREATE_WINDOW = 0, MODIFY_NODE = 1, TRACE_MESSAGE = 2, NONE = 3 };

    // eventType is one of the text forms; check it with isEventType first.
    Event(const std::string& eventType, const std::string& defaultValue,
          const std::list<std::string>& passedArgs, bool oneShot);
    Event(const std::string& eventType, const std::string& defaultValue,
          const std::list<std::string>& passedArgs, const std::list<Event>& passedEvents,
          bool oneShot);
    Event(EVENT_TYPE thisEvent, const std::string& data, const std::string& defaultValue,
          bool oneShot);

    // Bound on firings nested in one another, chains and node writes alike:
    // past it events are not fired (and one line on standard error says so
    // once per outermost firing), so that no mix of deep chains and cascades
    // of writes can exhaust the stack. The deepest level, a node write, takes
    // 1.7 KB of stack in a sanitizer build: 1000 levels use under 2 MB of the
    // usual 8 MB.
    static constexpr int32_t MAX_FIRING_DEPTH = 1000;

    // True for "createwindow", "modifynode", "tracemessage" and "none" only.
    static bool isEventType(const std::string& text);

    void chainEvent(const Event& aEvent);
    // Moves every event of aList, front first, to the end of the chain.
    void chainEvent(std::list<Event>& aList);
    // Fires when newWatchValue is the awaited value, changing nodes through
    // `nodes`; true when the event fired and is one-shot, so its owner must
    // drop it.
    bool notifyEvent(const std::string& newWatchValue, EventNodes& nodes);
    void save(std::string nodePath, const int32_t& eventNum, SaveLoad& saveObject);
    // This event and every event in its chain, at every depth.
    size_t eventCount() const;

    // A one-shot event that fired while its node's event list was being walked
    // stays in the list, marked spent, until the outermost walk sweeps it.
    bool isSpent() const { return spent; }
    void markSpent() { spent = true; }

  protected:
    EVENT_TYPE tokenize(const std::string& text) const;
    bool fireEvent(EventNodes& nodes);
    void modifyNode(EventNodes& nodes);
    void traceMessage() const;

  private:
    static void saveText(SaveLoad& saveObject, const std::string& key, const std::string& text);
    // Kept out of the recursion of save (never inlined), so that it stays light.
    [[gnu::noinline]] static void saveChainCount(SaveLoad& saveObject, const std::string& e,
                                                 int32_t count);
    [[gnu::noinline]] void saveOwnPairs(const std::string& e, SaveLoad& saveObject) const;

    EVENT_TYPE typeOfEvent;
    std::string valueToFireOn;
    bool isOneShot;
    std::list<std::string> arguments;
    std::list<Event> chainedEvents;

    bool firing = false; // set while the own action and the chain run
    bool spent = false;
};

// The integer of a node value: leading white space, an optional sign, then the
// digits up to the first other character; 0 when there is no number. Values
// beyond 32 bits wrap as two's complement.
int32_t eventTextToInt(const std::string& text);
