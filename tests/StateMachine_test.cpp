#include "stateMachine/statemachine.h"

#include "saveload/saveload.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every test works on networks of its own and removes them afterwards.
class Registry : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const char* name : {"quest", "quest", "a.b", "a", "other"})
            sm->removeNetwork(name);
    }
    std::string traceOf(const std::string& network) {
        testing::internal::CaptureStdout();
        sm->traceOut(network);
        return testing::internal::GetCapturedStdout();
    }
    std::string savedText(const std::string& network) {
        SaveLoad store;
        sm->saveNetwork(network, store);
        std::string text;
        for (int32_t i = 0; i < store.size(); ++i)
            text += store.getPair(i).key + "=" + store.getPair(i).pair + "\n";
        return text;
    }

    StateMachine* sm = StateMachine::Instance();
};

TEST_F(Registry, InstanceIsOneRegistry) {
    EXPECT_EQ(StateMachine::Instance(), sm);
}

TEST_F(Registry, TraceHasHeadingLinesAndFooter) {
    sm->createNetwork("quest");
    sm->createNode("quest", "door");
    sm->putNode("quest.door", "open");
    EXPECT_EQ(traceOf("quest"),
              "\nTraceOut of network, 'quest'\n.quest:\n.quest.door:open\n***************\n\n");
}

TEST_F(Registry, NewNetworkRootReadsEmptyThenWhatWasWritten) {
    sm->createNetwork("quest");
    EXPECT_EQ(sm->getNode("quest"), "");
    sm->putNode("quest", "x");
    EXPECT_EQ(sm->getNode("quest"), "x");
    sm->putNode("quest", -15);
    EXPECT_EQ(sm->getNode("quest"), "-15");
}

TEST_F(Registry, MissingNetworksAreIgnored) {
    sm->createNode("nowhere", "x");
    sm->putNode("nowhere.x", "1");
    sm->removeNode("nowhere.x");
    Event event(Event::TRACE_MESSAGE, "line", "1", false);
    sm->attachEvent("nowhere", event);
    sm->removeNetwork("nowhere");
    EXPECT_EQ(sm->getNode("nowhere.x"), "");
    EXPECT_EQ(traceOf("nowhere"), "");
    EXPECT_EQ(savedText("nowhere"), "");
}

TEST_F(Registry, DuplicateNetworkNamesUseTheFirstUntilItGoes) {
    sm->createNetwork("quest");
    sm->createNetwork("quest");
    sm->putNode("quest", "first");
    EXPECT_EQ(sm->getNode("quest"), "first");
    sm->removeNetwork("quest");
    EXPECT_EQ(sm->getNode("quest"), "");
    EXPECT_EQ(traceOf("quest"), "\nTraceOut of network, 'quest'\n.quest:\n***************\n\n");
}

TEST_F(Registry, DottedNetworkNameIsFoundWholeButNotByNodePaths) {
    sm->createNetwork("a.b");
    sm->putNode("a.b", "x");
    EXPECT_EQ(sm->getNode("a.b"), "");
    EXPECT_EQ(traceOf("a.b"), "\nTraceOut of network, 'a.b'\n.a.b:\n***************\n\n");
    EXPECT_EQ(savedText("a.b"), "a.b=\n");
    sm->removeNetwork("a.b");
    EXPECT_EQ(traceOf("a.b"), "");
}

TEST_F(Registry, LoadWritesKnownKeysInOrderAndPassesOverTheRest) {
    sm->createNetwork("quest");
    sm->createNode("quest", "door");
    sm->createNode("quest", "gold");
    Event chime(Event::TRACE_MESSAGE, "door opened", "open", false);
    sm->attachEvent("quest.door", chime);
    SaveLoad store;
    store.newSet("quest.door", "shut");
    store.newSet("quest.door.0.chainedEvents", "0");
    store.newSet("quest.door.0.valueToFireOn", "open");
    store.newSet("other.x", "1");
    store.newSet("", "");
    store.newSet("quest.gold", "10");
    store.newSet("quest.door", "open");
    testing::internal::CaptureStdout();
    sm->loadNetwork("ignored", store);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "door opened\n");
    EXPECT_EQ(sm->getNode("quest.door"), "open");
    EXPECT_EQ(sm->getNode("quest.gold"), "10");
    EXPECT_EQ(traceOf("quest"), "\nTraceOut of network, 'quest'\n.quest:\n.quest.door:open\n"
                                ".quest.gold:10\n***************\n\n");
}

TEST_F(Registry, SavedNetworkLoadsBackIntoAFreshOne) {
    sm->createNetwork("quest");
    sm->createNode("quest", "door");
    sm->createNode("quest.door", "lock");
    sm->putNode("quest", "root value");
    sm->putNode("quest.door.lock", "7");
    Event event("modifynode", "never", {"quest.door", "=", "x"}, true);
    sm->attachEvent("quest.door", event);
    SaveLoad store;
    sm->saveNetwork("quest", store);

    sm->removeNetwork("quest");
    sm->createNetwork("quest");
    sm->createNode("quest", "door");
    sm->createNode("quest.door", "lock");
    sm->loadNetwork("quest", store);
    EXPECT_EQ(traceOf("quest"), "\nTraceOut of network, 'quest'\n.quest:root value\n"
                                ".quest.door:\n.quest.door.lock:7\n***************\n\n");
}

} // namespace
