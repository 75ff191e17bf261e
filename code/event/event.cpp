#include "event/event.h"

#include "saveload/saveload.h"

#include "vondLog.h"
#include <cctype>
#include <iterator>
#include <vector>

namespace {

const std::string E1 = "createwindow";
const std::string E2 = "modifynode";
const std::string E3 = "tracemessage";
const std::string E4 = "none";

const std::string SAVE_CHAIN = "chainedEvents";
const std::string SAVE_EVENTTYPE = "eventType";
const std::string SAVE_VALUETOFIRE = "valueToFireOn";
const std::string SAVE_ISONESHOT = "isOneShot";
const std::string SAVE_ARGNUM = "argNum";
const std::string SAVE_ARGUMENT = "argument";

// Event firings in progress, nested in one another: each chained event, and
// each event of a node that modifyNode writes, adds one level.
int32_t firingDepth = 0;
// Whether the firing in progress has already said that it reached the limit.
bool depthReported = false;

// 32-bit arithmetic that wraps as two's complement instead of overflowing.
int32_t wrap(int64_t wide) {
    return static_cast<int32_t>(static_cast<uint32_t>(wide));
}

} // namespace

int32_t eventTextToInt(const std::string& text) {
    std::string::size_type i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[i] - '0');
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

Event::Event(const std::string& eventType, const std::string& defaultValue,
             const std::list<std::string>& passedArgs, bool oneShot)
    : typeOfEvent(tokenize(eventType)), valueToFireOn(defaultValue), isOneShot(oneShot),
      arguments(passedArgs) {}

Event::Event(const std::string& eventType, const std::string& defaultValue,
             const std::list<std::string>& passedArgs, const std::list<Event>& passedEvents,
             bool oneShot)
    : typeOfEvent(tokenize(eventType)), valueToFireOn(defaultValue), isOneShot(oneShot),
      arguments(passedArgs), chainedEvents(passedEvents) {}

Event::Event(EVENT_TYPE thisEvent, const std::string& data, const std::string& defaultValue,
             bool oneShot)
    : typeOfEvent(thisEvent), valueToFireOn(defaultValue), isOneShot(oneShot), arguments{data} {}

bool Event::isEventType(const std::string& text) {
    return text == E1 || text == E2 || text == E3 || text == E4;
}

// Unknown words become NONE, an event that does nothing of its own; the script
// interface refuses them before an event is ever built.
Event::EVENT_TYPE Event::tokenize(const std::string& text) const {
    if (text == E1) return CREATE_WINDOW;
    if (text == E2) return MODIFY_NODE;
    if (text == E3) return TRACE_MESSAGE;
    return NONE;
}

void Event::chainEvent(const Event& aEvent) {
    chainedEvents.push_back(aEvent);
}

size_t Event::eventCount() const {
    size_t count = 1;
    for (const Event& chained : chainedEvents)
        count += chained.eventCount();
    return count;
}

void Event::chainEvent(std::list<Event>& aList) {
    chainedEvents.splice(chainedEvents.end(), aList);
}

bool Event::notifyEvent(const std::string& newWatchValue, EventNodes& nodes) {
    if (newWatchValue != valueToFireOn) return false;
    return fireEvent(nodes);
}

bool Event::fireEvent(EventNodes& nodes) {
    // An event whose own action leads back to a write of its value does not
    // fire again inside itself: that would recurse without end.
    if (firing) return false;
    if (firingDepth >= MAX_FIRING_DEPTH) {
        if (!depthReported)
            vondWarn("Event: events past ", MAX_FIRING_DEPTH,
                     " levels not fired: chains and node writes nested too deeply");
        depthReported = true;
        return false;
    }
    ++firingDepth;
    firing = true;
    switch (typeOfEvent) {
    case MODIFY_NODE:
        modifyNode(nodes);
        break;
    case TRACE_MESSAGE:
        traceMessage();
        break;
    case CREATE_WINDOW:
    case NONE:
        break;
    }
    // Only this event's own firing changes its chain, and it cannot re-enter,
    // so erasing while walking is safe here.
    for (auto it = chainedEvents.begin(); it != chainedEvents.end();) {
        if (it->fireEvent(nodes))
            it = chainedEvents.erase(it);
        else
            ++it;
    }
    firing = false;
    if (--firingDepth == 0) depthReported = false;
    return isOneShot;
}

// Leaves the node as it is when the arguments are incomplete, the operator is
// unknown or the divisor is 0.
void Event::modifyNode(EventNodes& nodes) {
    if (arguments.size() < 3) return;
    auto arg = arguments.begin();
    const std::string target = *arg++;
    const std::string op = *arg++;
    const std::string operand = *arg;
    if (op == "=") {
        nodes.putNode(target, operand);
        return;
    }
    const int64_t current = eventTextToInt(nodes.getNode(target));
    const int64_t by = eventTextToInt(operand);
    int32_t result;
    if (op == "+")
        result = wrap(current + by);
    else if (op == "-")
        result = wrap(current - by);
    else if (op == "*")
        result = wrap(current * by);
    else if (op == "/" && by != 0)
        result = wrap(current / by); // truncates toward zero; INT_MIN / -1 wraps
    else
        return;
    nodes.putNode(target, std::to_string(result));
}

void Event::traceMessage() const {
    for (const std::string& line : arguments)
        vondTrace(line);
}

// Chains may nest thousands deep, so each level of this recursion keeps only
// its key and its walk of the chain on the stack; the keys of its own pairs
// are built in the helpers below.
void Event::save(std::string nodePath, const int32_t& eventNum, SaveLoad& saveObject) {
    const std::string e = nodePath + "." + std::to_string(eventNum);
    saveChainCount(saveObject, e, static_cast<int32_t>(chainedEvents.size()));
    int32_t chainNum = 0;
    for (Event& chained : chainedEvents) {
        chained.save(e, chainNum, saveObject);
        ++chainNum;
    }
    saveOwnPairs(e, saveObject);
}

void Event::saveChainCount(SaveLoad& saveObject, const std::string& e, int32_t count) {
    saveObject.newSet(e + "." + SAVE_CHAIN, count);
}

void Event::saveOwnPairs(const std::string& e, SaveLoad& saveObject) const {
    saveObject.newSet(e + "." + SAVE_EVENTTYPE, static_cast<int32_t>(typeOfEvent));
    saveText(saveObject, e + "." + SAVE_VALUETOFIRE, valueToFireOn);
    saveObject.newSet(e + "." + SAVE_ISONESHOT, static_cast<int32_t>(isOneShot ? 1 : 0));
    saveObject.newSet(e + "." + SAVE_ARGNUM, static_cast<int32_t>(arguments.size()));
    int32_t argNum = 0;
    for (const std::string& argument : arguments) {
        saveText(saveObject, e + "." + SAVE_ARGUMENT + "." + std::to_string(argNum), argument);
        ++argNum;
    }
}

// Event lines are never read back, so a text that cannot be written on one
// line (a trace message of two lines, say) is left out without a word.
void Event::saveText(SaveLoad& saveObject, const std::string& key, const std::string& text) {
    if (SaveLoad::canBeSaved(SaveLoadType{key, text})) saveObject.newSet(key, text);
}
