// Input dispatch with the click latch, the click-handler list and the timed
// events. Scripts run from here (handler activations, timed events) may add or
// remove handlers, windows and events: the walks below re-read their lists and
// never delete anything that might still be running.
#include "vondEngine2.h"

#include "vondLog.h"
#include "vondScriptHost.h"
#include "vondWindow2.h"

#include <climits>

// Timed events ---------------------------------------------------------------

vondEngine2::vondTimedEvent::vondTimedEvent(unsigned int id, VOND_EVENT t, VOND_EVENT_SOURCE s,
                                            int time, std::string sc)
    : ID(id), type(t), source(s), countdown(time), period(time), script(std::move(sc)) {
    vondLog("Event: ", ID, " constructed!");
}

void vondEngine2::vondTimedEvent::Update(unsigned int ms) {
    if (dead) return;
    // Clamped so that an event that keeps firing never wraps round to waiting.
    long long left = static_cast<long long>(countdown) - ms;
    countdown = left < INT_MIN ? INT_MIN : static_cast<int>(left);
    if (countdown > 0) return;
    vondLog("Event: ", ID, " going off now!");
    if (source == VOND_SOURCE_FILE) {
        vondLog("Event: ", ID, " doing file: ", script);
        vondRunScriptFile(script.c_str());
    } else if (source == VOND_SOURCE_STRING) {
        vondLog("Event: ", ID, " doing string: ", script);
        vondRunScriptText(script.c_str());
    }
    if (type == VOND_EVENT_REPEAT) {
        countdown = period; // the overshoot below 0 is dropped
    } else if (type == VOND_EVENT_ONCE) {
        vondLog("Event: ", ID, "  is now dead!");
        dead = true;
    }
}

void vondEngine2::addTimedEvent(vondTimedEvent* e) {
    if (e != nullptr) timedEvents.push_back(e);
}

void vondEngine2::delTimedEvent(int id) {
    for (auto* e : timedEvents)
        if (e->getID() == static_cast<unsigned>(id)) e->Die();
}

void vondEngine2::updateTimedEvents(unsigned int ms) {
    // Only the events present when the pass begins; those a script appends wait
    // for the next frame. Indexing survives the list growing under us, and no
    // event is destroyed before the sweep.
    const size_t count = timedEvents.size();
    for (size_t i = 0; i < count && i < timedEvents.size(); ++i)
        timedEvents[i]->Update(ms);
}

namespace {

// Destroys the dead entries and closes the gaps, keeping the order of the
// others; runs every frame, so it works in place without allocating.
template <typename T> void sweepDead(std::vector<T*>& list) {
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->isDead())
            delete list[i];
        else
            list[kept++] = list[i];
    }
    list.resize(kept);
}

} // namespace

void vondEngine2::sweepDeadTimedEvents() {
    sweepDead(timedEvents);
}

// Click handlers and input dispatch -------------------------------------------

void vondEngine2::addClickHandler(vondClickHandler* h) {
    if (h != nullptr) clickHandlers.push_back(h);
}

void vondEngine2::delClickHandler(int id) {
    for (auto* h : clickHandlers)
        if (h->getID() == static_cast<unsigned>(id)) h->Die();
}

void vondEngine2::sweepDeadClickHandlers() {
    sweepDead(clickHandlers);
}

void vondEngine2::destroyClickHandlers() {
    // Emptied before deleting, so that nothing walks a list of freed handlers.
    std::vector<vondClickHandler*> doomed;
    doomed.swap(clickHandlers);
    for (auto* h : doomed)
        delete h;
}

bool vondEngine2::doInput(int x, int y) {
    // The latch: a held button is re-dispatched every frame but acts once.
    if (mouseDown) return false;
    mouseDown = true;
    vondLog("Click at: ", x, ",", y);

    // Newest handler first; only the first that holds the point acts. Its script
    // may change the list or delete the handler, so nothing of it is used after.
    for (size_t i = clickHandlers.size(); i-- > 0;) {
        vondClickHandler* h = clickHandlers[i];
        if (!h->isIn(x, y)) continue;
        vondLog("Click handler ", h->getID(), " activated!");
        h->doInput(0);
        break;
    }

    // Topmost window first, reading the list as the handler's script left it.
    for (size_t i = windows.size(); i-- > 0;) {
        if (windows[i]->isIn(x, y)) {
            windows[i]->doInput(x, y);
            return true;
        }
    }
    return false;
}
