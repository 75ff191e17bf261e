#include "stateMachine/statenetwork.h"

#include "event/event.h"
#include "saveload/saveload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string traceOf(StateNetwork& network) {
    testing::internal::CaptureStdout();
    network.traceOut();
    return testing::internal::GetCapturedStdout();
}

std::string savedPairs(StateNetwork& network) {
    SaveLoad store;
    network.save(store);
    std::string text;
    for (int32_t i = 0; i < store.size(); ++i)
        text += store.getPair(i).key + "=" + store.getPair(i).pair + "\n";
    return text;
}

Event traceEvent(const std::string& fireOn, const std::string& line, bool oneShot) {
    return Event(Event::TRACE_MESSAGE, line, fireOn, oneShot);
}

TEST(StateNetworkTrace, NewNetworkIsOneLineWithEmptyValue) {
    StateNetwork quest("quest");
    EXPECT_EQ(quest.getID(), "quest");
    EXPECT_EQ(traceOf(quest), ".quest:\n");
}

TEST(StateNetworkTrace, LinesArePreOrderFullNamesWithLeadingStop) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.createNode(NameArray("quest"), "key");
    quest.putNode(NameArray("quest.door"), "open");
    quest.putNode(NameArray("quest.door.lock"), "3");
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.door:open\n.quest.door.lock:3\n.quest.key:\n");
}

TEST(StateNetworkTree, OneSectionPathIsTheRoot) {
    StateNetwork quest("quest");
    quest.putNode(NameArray("quest"), "started");
    EXPECT_EQ(quest.getNode(NameArray("quest")), "started");
    quest.removeNode(NameArray("quest"));
    EXPECT_EQ(quest.getNode(NameArray("quest")), "started");
}

TEST(StateNetworkTree, DuplicateNamesReadTheFirstChild) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest"), "door");
    quest.putNode(NameArray("quest.door"), "open");
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.door:open\n.quest.door:\n");
    EXPECT_EQ(quest.getNode(NameArray("quest.door")), "open");
}

TEST(StateNetworkTree, CreateActsBelowEveryMatchingParent) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest.door"), "lock");
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.door:\n.quest.door.lock:\n.quest.door:\n"
                              ".quest.door.lock:\n");
}

TEST(StateNetworkTree, RemoveTakesTheFirstMatchBelowEveryMatchingParent) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.createNode(NameArray("quest.door"), "hinge");
    quest.putNode(NameArray("quest.door.lock"), "first");
    quest.removeNode(NameArray("quest.door.lock"));
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.door:\n.quest.door.lock:\n.quest.door.hinge:\n"
                              ".quest.door:\n.quest.door.lock:\n.quest.door.hinge:\n");
}

TEST(StateNetworkTree, RemovedNodeTakesItsSubtreeAndIndexForgetsIt) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.createNode(NameArray("quest.door.lock"), "pin");
    quest.removeNode(NameArray("quest.door.lock"));
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.door:\n");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.putNode(NameArray("quest.door.lock"), "new");
    EXPECT_EQ(quest.getNode(NameArray("quest.door.lock")), "new");
    EXPECT_EQ(quest.getNode(NameArray("quest.door.lock.pin")), "");
}

TEST(StateNetworkTree, PathsThatNameNoNodeChangeNothing) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    const std::string before = traceOf(quest);
    quest.createNode(NameArray("quest.window"), "latch");
    quest.removeNode(NameArray("quest.window.latch"));
    quest.removeNode(NameArray("quest.window"));
    quest.putNode(NameArray("quest.window"), "x");
    Event event = traceEvent("x", "never", false);
    quest.attachEvent(NameArray("quest.door.knob"), event);
    EXPECT_EQ(quest.getNode(NameArray("quest.window")), "");
    EXPECT_EQ(traceOf(quest), before);
    EXPECT_EQ(savedPairs(quest), "quest=\nquest.door=\n");
}

TEST(StateNetworkTree, EmptyNamesMatchLikeAnyOther) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "");
    quest.createNode(NameArray("quest."), "x");
    quest.putNode(NameArray("quest..x"), "deep");
    EXPECT_EQ(traceOf(quest), ".quest:\n.quest.:\n.quest..x:deep\n");
}

TEST(StateNetworkSave, NodesArePreOrderPairsWithRootUnderNetworkName) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    quest.createNode(NameArray("quest.door"), "lock");
    quest.createNode(NameArray("quest"), "key");
    quest.putNode(NameArray("quest.key"), "found");
    EXPECT_EQ(savedPairs(quest), "quest=\nquest.door=\nquest.door.lock=\nquest.key=found\n");
}

TEST(StateNetworkSave, EventsFollowTheirNodeNumberedInOrder) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    Event rootEvent = traceEvent("go", "root", true);
    quest.attachEvent(NameArray("quest"), rootEvent);
    Event doorEvent = traceEvent("open", "creak", false);
    quest.attachEvent(NameArray("quest.door"), doorEvent);
    quest.attachEvent(NameArray("quest.door"), doorEvent);
    EXPECT_EQ(savedPairs(quest),
              "quest=\n"
              "quest.0.chainedEvents=0\nquest.0.eventType=2\nquest.0.valueToFireOn=go\n"
              "quest.0.isOneShot=1\nquest.0.argNum=1\nquest.0.argument.0=root\n"
              "quest.door=\n"
              "quest.door.0.chainedEvents=0\nquest.door.0.eventType=2\n"
              "quest.door.0.valueToFireOn=open\nquest.door.0.isOneShot=0\n"
              "quest.door.0.argNum=1\nquest.door.0.argument.0=creak\n"
              "quest.door.1.chainedEvents=0\nquest.door.1.eventType=2\n"
              "quest.door.1.valueToFireOn=open\nquest.door.1.isOneShot=0\n"
              "quest.door.1.argNum=1\nquest.door.1.argument.0=creak\n");
}

TEST(StateNetworkEvents, EveryWriteNotifiesAndOneShotsLeave) {
    StateNetwork quest("quest");
    quest.createNode(NameArray("quest"), "door");
    Event once = traceEvent("open", "once", true);
    Event always = traceEvent("open", "always", false);
    quest.attachEvent(NameArray("quest.door"), once);
    quest.attachEvent(NameArray("quest.door"), always);
    testing::internal::CaptureStdout();
    quest.putNode(NameArray("quest.door"), "open");
    quest.putNode(NameArray("quest.door"), "open");
    quest.putNode(NameArray("quest.door"), "shut");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "once\nalways\nalways\n");
    EXPECT_EQ(quest.getNode(NameArray("quest.door")), "shut");
    EXPECT_EQ(savedPairs(quest).find("quest.door.1."), std::string::npos);
}

TEST(StateNetworkEvents, AttachedEventIsACopy) {
    StateNetwork quest("quest");
    Event event("tracemessage", "x", {"before"}, false);
    quest.attachEvent(NameArray("quest"), event);
    event.chainEvent(traceEvent("x", "chained later", false));
    testing::internal::CaptureStdout();
    quest.putNode(NameArray("quest"), "x");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "before\n");
}

} // namespace
