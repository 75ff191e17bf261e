// PLACEHOLDER until the input and timed-event work lands: keeps the engine linkable.
#include "vondEngine2.h"
#include "vondWindow2.h"

vondEngine2::vondTimedEvent::vondTimedEvent(unsigned int id, VOND_EVENT t, VOND_EVENT_SOURCE s, int time, std::string sc)
    : ID(id), type(t), source(s), countdown(time), period(time), script(std::move(sc)) {}
void vondEngine2::vondTimedEvent::Update(unsigned int) {}
bool vondEngine2::doInput(int, int) { return false; }
void vondEngine2::addClickHandler(vondClickHandler* h) { clickHandlers.push_back(h); }
void vondEngine2::delClickHandler(int) {}
void vondEngine2::addTimedEvent(vondTimedEvent* e) { timedEvents.push_back(e); }
void vondEngine2::delTimedEvent(int) {}
void vondEngine2::updateTimedEvents(unsigned int) {}
void vondEngine2::sweepDeadTimedEvents() {}
void vondEngine2::sweepDeadClickHandlers() {}
void vondEngine2::destroyClickHandlers() { for (auto* h : clickHandlers) delete h; clickHandlers.clear(); }
