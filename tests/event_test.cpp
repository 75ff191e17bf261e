#include "event/event.h"

#include "stateMachine/statemachine.h"
#include "stateMachine/statenetwork.h"

#include <gtest/gtest.h>

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
    static Event trace(const std::string& fireOn, const std::string& line, bool oneShot) {
        return Event("tracemessage", fireOn, {line}, oneShot);
    }
    std::string writeAndCapture(const std::string& node, const std::string& value) {
        testing::internal::CaptureStdout();
        sm->putNode(node, value);
        return testing::internal::GetCapturedStdout();
    }

    StateMachine* sm = StateMachine::Instance();
};

// modifynode works on the leading integers of the texts with 32-bit wrap;
// operations that cannot be done leave the node as it was.
TEST_F(EventFiring, ModifyNodeArithmeticWrapsAndRefusesBadOperations) {
    // clang-format off
    struct Case { const char* start; std::list<std::string> args; const char* expected; };
    const Case cases[] = {
        {"-7", {"ev.a", "/", "2"}, "-3"}, {"", {"ev.a", "-", "4"}, "-4"},
        {"6", {"ev.a", "*", "-7"}, "-42"}, {" \t12 apples", {"ev.a", "+", "x"}, "12"},
        {"2147483647", {"ev.a", "+", "1"}, "-2147483648"}, {"65536", {"ev.a", "*", "65536"}, "0"},
        {"-2147483648", {"ev.a", "-", "1"}, "2147483647"},
        {"2147483648", {"ev.a", "+", "0"}, "-2147483648"},
        {"-2147483648", {"ev.a", "/", "-1"}, "-2147483648"}, {"9", {"ev.a", "/", "0"}, "9"},
        {"9", {"ev.a", "%", "2"}, "9"}, {"9", {"ev.a", "", "2"}, "9"}, {"9", {"ev.a", "="}, "9"},
        {"9", {"ev.missing", "+", "1"}, "9"}, {"9", {"nonet.a", "=", "1"}, "9"}};
    // clang-format on
    for (const Case& c : cases) {
        sm->putNode("ev.a", c.start);
        Event event("modifynode", "go", c.args, true);
        sm->attachEvent("ev.b", event);
        sm->putNode("ev.b", "go");
        EXPECT_EQ(sm->getNode("ev.a"), c.expected) << c.start << " " << c.args.size();
    }
    EXPECT_EQ(sm->getNode("ev.missing"), "");
}

// The first event writes its own node with the second event's value: the second
// fires inside the first's walk, and both one-shots are gone afterwards.
TEST_F(EventFiring, EventWritingItsOwnNodeKeepsTheWalkSafe) {
    Event first = modify("a", "ev.a", "=", "b", true);
    Event second = trace("b", "second", true);
    Event third = trace("a", "third sees the first value", false);
    sm->attachEvent("ev.a", first);
    sm->attachEvent("ev.a", second);
    sm->attachEvent("ev.a", third);
    EXPECT_EQ(writeAndCapture("ev.a", "a"), "second\nthird sees the first value\n");
    EXPECT_EQ(sm->getNode("ev.a"), "b");
    EXPECT_EQ(writeAndCapture("ev.a", "b"), "");
    EXPECT_EQ(writeAndCapture("ev.a", "a"), "third sees the first value\n");

    Event parent = trace("go", "parent", true);
    parent.chainEvent(modify("", "ev.b", "=", "go", true));
    Event later = trace("go", "later", true);
    sm->attachEvent("ev.b", parent);
    sm->attachEvent("ev.b", later);
    EXPECT_EQ(writeAndCapture("ev.b", "go"), "parent\nlater\n");
    EXPECT_EQ(writeAndCapture("ev.b", "go"), "");
}

// An event rewriting the value it fires on, and two nodes writing each other,
// fire once per outside write instead of looping.
TEST_F(EventFiring, SelfRetriggeringEventsEnd) {
    Event self = modify("x", "ev.c", "=", "x");
    self.chainEvent(trace("", "fired", false));
    sm->attachEvent("ev.c", self);
    EXPECT_EQ(writeAndCapture("ev.c", "x"), "fired\n");
    EXPECT_EQ(writeAndCapture("ev.c", "x"), "fired\n");

    sm->putNode("ev.c", "0");
    Event aToB = modify("on", "ev.b", "=", "on"), bToA = modify("on", "ev.a", "=", "on");
    Event counter = modify("on", "ev.c", "+", "1");
    sm->attachEvent("ev.a", aToB);
    sm->attachEvent("ev.b", bToA);
    sm->attachEvent("ev.a", counter);
    sm->putNode("ev.a", "on");
    EXPECT_EQ(sm->getNode("ev.b"), "on");
    EXPECT_EQ(sm->getNode("ev.c"), "2"); // once by the write, once through b
}

TEST_F(EventFiring, VeryLongChainOfWritesStopsNotifyingInsteadOfOverflowing) {
    const int32_t limit = StateNetwork::MAX_NESTED_WRITES;
    for (int32_t i = 0; i <= limit + 2; ++i) {
        sm->createNode("ev", "n" + std::to_string(i));
        Event next = modify("go", "ev.n" + std::to_string(i + 1), "=", "go");
        sm->attachEvent("ev.n" + std::to_string(i), next);
    }
    testing::internal::CaptureStderr();
    sm->putNode("ev.n0", "go");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("nested too deeply"), std::string::npos);
    EXPECT_EQ(sm->getNode("ev.n" + std::to_string(limit)), "go");
    EXPECT_EQ(sm->getNode("ev.n" + std::to_string(limit + 1)), "");
}

} // namespace
