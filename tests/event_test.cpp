#include "event/event.h"

#include "saveload/saveload.h"
#include "stateMachine/statemachine.h"
#include "stateMachine/statenetwork.h"

#include <gtest/gtest.h>

#include <climits>
#include <list>
#include <string>

namespace {

// A network "ev" in the registry with nodes a, b and c, removed afterwards.
class EventFiring : public ::testing::Test {
  protected:
    void SetUp() override {
        sm->createNetwork("ev");
        for (const char* node : {"a", "b", "c"})
            sm->createNode("ev", node);
    }
    void TearDown() override { sm->removeNetwork("ev"); }

    static Event modify(const std::string& fireOn, const std::string& target, const std::string& op,
                        const std::string& operand, bool oneShot = false) {
        return Event("modifynode", fireOn, {target, op, operand}, oneShot);
    }
    static Event trace(const std::string& fireOn, std::list<std::string> lines, bool oneShot) {
        return Event("tracemessage", fireOn, lines, oneShot);
    }
    // Standard output of writing value to node.
    std::string writeAndCapture(const std::string& node, const std::string& value) {
        testing::internal::CaptureStdout();
        sm->putNode(node, value);
        return testing::internal::GetCapturedStdout();
    }
    // What one firing of `event` does to ev.a when it holds `start`.
    std::string modifyResult(const std::string& start, const std::string& op,
                             const std::string& operand) {
        sm->putNode("ev.a", start);
        Event event = modify("go", "ev.a", op, operand);
        sm->attachEvent("ev.b", event);
        sm->putNode("ev.b", "go");
        sm->removeNode("ev.b");
        sm->createNode("ev", "b");
        return sm->getNode("ev.a");
    }

    StateMachine* sm = StateMachine::Instance();
};

TEST(EventText, TypeWordsAreExactAndCaseSensitive) {
    for (const char* word : {"createwindow", "modifynode", "tracemessage", "none"})
        EXPECT_TRUE(Event::isEventType(word)) << word;
    for (const char* word : {"", "None", "MODIFYNODE", "trace", "none "})
        EXPECT_FALSE(Event::isEventType(word)) << word;
}

TEST(EventText, IntegerOfTextReadsTheLeadingNumber) {
    EXPECT_EQ(eventTextToInt("42"), 42);
    EXPECT_EQ(eventTextToInt("  \t-17abc"), -17);
    EXPECT_EQ(eventTextToInt("+8"), 8);
    EXPECT_EQ(eventTextToInt(""), 0);
    EXPECT_EQ(eventTextToInt("abc"), 0);
    EXPECT_EQ(eventTextToInt("- 5"), 0);
    EXPECT_EQ(eventTextToInt("3.9"), 3);
    EXPECT_EQ(eventTextToInt("2147483647"), INT_MAX);
    EXPECT_EQ(eventTextToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(eventTextToInt("2147483648"), INT_MIN); // wraps
}

TEST_F(EventFiring, RepeatingFiresOnEveryWriteOfItsValueOnly) {
    Event event = trace("open", {"first line", "second line"}, false);
    sm->attachEvent("ev.a", event);
    EXPECT_EQ(writeAndCapture("ev.a", "open"), "first line\nsecond line\n");
    EXPECT_EQ(writeAndCapture("ev.a", "open"), "first line\nsecond line\n");
    EXPECT_EQ(writeAndCapture("ev.a", "opened"), "");
}

TEST_F(EventFiring, OneShotFiresOnceAndLeavesItsNode) {
    Event event = trace("open", {"once"}, true);
    sm->attachEvent("ev.a", event);
    EXPECT_EQ(writeAndCapture("ev.a", "shut"), "");
    EXPECT_EQ(writeAndCapture("ev.a", "open"), "once\n");
    EXPECT_EQ(writeAndCapture("ev.a", "open"), "");
}

TEST_F(EventFiring, ChainFiresDepthFirstWhateverItsOwnValues) {
    Event parent("none", "go", {}, false);
    Event child = trace("ignored", {"child"}, false);
    child.chainEvent(trace("ignored too", {"grandchild"}, false));
    parent.chainEvent(child);
    parent.chainEvent(trace("", {"second child"}, false));
    Event window(Event::CREATE_WINDOW, "unused", "go", false);
    window.chainEvent(trace("x", {"from window"}, false));
    sm->attachEvent("ev.a", parent);
    sm->attachEvent("ev.a", window);
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "child\ngrandchild\nsecond child\nfrom window\n");
}

TEST_F(EventFiring, OneShotChainedEventLeavesTheChainParentStays) {
    Event parent = trace("go", {"parent"}, false);
    std::list<Event> children{trace("", {"once"}, true), trace("", {"always"}, false)};
    parent.chainEvent(children);
    EXPECT_TRUE(children.empty());
    sm->attachEvent("ev.a", parent);
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "parent\nonce\nalways\n");
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "parent\nalways\n");
}

TEST_F(EventFiring, ArithmeticOnIntegersOfTheTexts) {
    EXPECT_EQ(modifyResult("5", "+", "3"), "8");
    EXPECT_EQ(modifyResult("7", "/", "2"), "3");
    EXPECT_EQ(modifyResult("-7", "/", "2"), "-3");
    EXPECT_EQ(modifyResult("", "-", "4"), "-4");
    EXPECT_EQ(modifyResult("6", "*", "-7"), "-42");
    EXPECT_EQ(modifyResult("12 apples", "+", "x"), "12");
    EXPECT_EQ(modifyResult("5", "=", "not a number"), "not a number");
}

TEST_F(EventFiring, OverflowWrapsAsTwosComplement) {
    EXPECT_EQ(modifyResult("2147483647", "+", "1"), "-2147483648");
    EXPECT_EQ(modifyResult("-2147483648", "-", "1"), "2147483647");
    EXPECT_EQ(modifyResult("65536", "*", "65536"), "0");
    EXPECT_EQ(modifyResult("-2147483648", "/", "-1"), "-2147483648");
}

TEST_F(EventFiring, BadOperationsLeaveTheNodeUnchanged) {
    EXPECT_EQ(modifyResult("9", "/", "0"), "9");
    EXPECT_EQ(modifyResult("9", "/", "zero"), "9");
    EXPECT_EQ(modifyResult("9", "%", "2"), "9");
    EXPECT_EQ(modifyResult("9", "", "2"), "9");

    // Fewer than three arguments: no write, so the target's events stay quiet.
    Event watcher = trace("9", {"written"}, false);
    sm->attachEvent("ev.a", watcher);
    Event shortEvent("modifynode", "go", {"ev.a", "="}, false);
    sm->attachEvent("ev.b", shortEvent);
    EXPECT_EQ(writeAndCapture("ev.b", "go"), "");
    EXPECT_EQ(sm->getNode("ev.a"), "9");
}

TEST_F(EventFiring, ModifyingAMissingNodeDoesNothing) {
    Event event = modify("go", "ev.missing", "+", "1");
    sm->attachEvent("ev.a", event);
    Event other = modify("go", "nonet.a", "=", "1");
    sm->attachEvent("ev.a", other);
    sm->putNode("ev.a", "go");
    EXPECT_EQ(sm->getNode("ev.missing"), "");
    EXPECT_EQ(sm->getNode("nonet.a"), "");
}

TEST_F(EventFiring, WritesSetOffEventsOnOtherNodes) {
    Event first = modify("go", "ev.b", "=", "next");
    Event second = modify("next", "ev.c", "+", "1");
    Event third = trace("1", {"c reached 1"}, false);
    sm->attachEvent("ev.a", first);
    sm->attachEvent("ev.b", second);
    sm->attachEvent("ev.c", third);
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "c reached 1\n");
    EXPECT_EQ(sm->getNode("ev.c"), "1");
}

// The first event writes its own node with the second event's value: the second
// fires inside the first's walk, and both one-shots are gone afterwards.
TEST_F(EventFiring, EventWritingItsOwnNodeKeepsTheWalkSafe) {
    Event first = modify("a", "ev.a", "=", "b", true);
    Event second = trace("b", {"second"}, true);
    Event third = trace("a", {"third sees the first value"}, false);
    sm->attachEvent("ev.a", first);
    sm->attachEvent("ev.a", second);
    sm->attachEvent("ev.a", third);
    EXPECT_EQ(writeAndCapture("ev.a", "a"), "second\nthird sees the first value\n");
    EXPECT_EQ(sm->getNode("ev.a"), "b");
    EXPECT_EQ(writeAndCapture("ev.a", "b"), "");
    EXPECT_EQ(writeAndCapture("ev.a", "a"), "third sees the first value\n");
}

TEST_F(EventFiring, EventRewritingItsOwnValueFiresOncePerWrite) {
    Event self = modify("x", "ev.a", "=", "x");
    self.chainEvent(trace("", {"fired"}, false));
    sm->attachEvent("ev.a", self);
    EXPECT_EQ(writeAndCapture("ev.a", "x"), "fired\n");
    EXPECT_EQ(writeAndCapture("ev.a", "x"), "fired\n");
}

TEST_F(EventFiring, ChainedEventWritingTheNotifiedNodeIsSafe) {
    Event parent = trace("go", {"parent"}, true);
    parent.chainEvent(modify("", "ev.a", "=", "go", true));
    Event later = trace("go", {"later"}, true);
    sm->attachEvent("ev.a", parent);
    sm->attachEvent("ev.a", later);
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "parent\nlater\n");
    EXPECT_EQ(writeAndCapture("ev.a", "go"), "");
}

TEST_F(EventFiring, CycleBetweenNodesEnds) {
    Event aToB = modify("on", "ev.b", "=", "on");
    Event bToA = modify("on", "ev.a", "=", "on");
    sm->attachEvent("ev.a", aToB);
    sm->attachEvent("ev.b", bToA);
    Event counter = modify("on", "ev.c", "+", "1");
    sm->attachEvent("ev.a", counter);
    sm->putNode("ev.a", "on");
    EXPECT_EQ(sm->getNode("ev.b"), "on");
    EXPECT_EQ(sm->getNode("ev.c"), "2"); // once by the write, once through b
}

TEST_F(EventFiring, VeryLongChainOfWritesStopsNotifyingInsteadOfOverflowing) {
    const int32_t limit = StateNetwork::MAX_NESTED_WRITES;
    sm->createNetwork("long");
    for (int32_t i = 0; i <= limit + 2; ++i) {
        const std::string node = "long.n" + std::to_string(i);
        sm->createNode("long", "n" + std::to_string(i));
        Event next = modify("go", "long.n" + std::to_string(i + 1), "=", "go");
        sm->attachEvent(node, next);
    }
    testing::internal::CaptureStderr();
    sm->putNode("long.n0", "go");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sm->getNode("long.n" + std::to_string(limit)), "go");
    EXPECT_EQ(sm->getNode("long.n" + std::to_string(limit + 1)), "");
    EXPECT_NE(errors.find("nested too deeply"), std::string::npos);
    sm->removeNetwork("long");
}

TEST(EventSave, KeysFollowTheNodeKeyWithChainBeforeType) {
    Event event("modifynode", "open", {"q.light", "=", "on"}, true);
    event.chainEvent(Event(Event::TRACE_MESSAGE, "hi", "", false));
    event.chainEvent(Event("none", "z", {}, false));
    SaveLoad store;
    event.save("q.door", 3, store);
    std::string text;
    for (int32_t i = 0; i < store.size(); ++i)
        text += store.getPair(i).key + "=" + store.getPair(i).pair + "\n";
    EXPECT_EQ(text, "q.door.3.chainedEvents=2\n"
                    "q.door.3.0.chainedEvents=0\nq.door.3.0.eventType=2\n"
                    "q.door.3.0.valueToFireOn=\nq.door.3.0.isOneShot=0\nq.door.3.0.argNum=1\n"
                    "q.door.3.0.argument.0=hi\n"
                    "q.door.3.1.chainedEvents=0\nq.door.3.1.eventType=3\n"
                    "q.door.3.1.valueToFireOn=z\nq.door.3.1.isOneShot=0\nq.door.3.1.argNum=0\n"
                    "q.door.3.eventType=1\nq.door.3.valueToFireOn=open\nq.door.3.isOneShot=1\n"
                    "q.door.3.argNum=3\nq.door.3.argument.0=q.light\nq.door.3.argument.1==\n"
                    "q.door.3.argument.2=on\n");
}

} // namespace
