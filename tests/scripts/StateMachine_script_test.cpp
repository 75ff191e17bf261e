// The sm_ functions driven from a start-up script in the real binary: standard
// output and save files compared byte for byte.
#include "vondRun.h"

namespace {

// Runs the script, then exit(0), and checks it ended cleanly.
GameRun runScript(const GameDir& game, const std::string& lua) {
    GameRun r = game.runScript(lua + "exit(0)\n", 60);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
    return r;
}

// Reads and writes take the first node a path names, creates and removes act
// below every matching parent (taking the subtree). Of two networks with one
// name the first is used until it goes; a dotted network name is found whole
// by network calls but never by node paths.
TEST(StateMachineScript, NetworksNodesAndTraces) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("quest") sm_createNetwork("quest")
print("root:[" .. sm_getNode("quest") .. "]")
sm_createNode("quest", "door") sm_createNode("quest", "door")
sm_createNode("quest.door", "lock") sm_createNode("quest.door", "lock")
sm_createNode("quest.door.lock", "pin") sm_createNode("quest.door", "hinge")
sm_putNode("quest.door", "open")
sm_putNode("quest.door.lock", 5)
sm_putNode("quest", 0.5)
print("lock:" .. sm_getNode("quest.door.lock"))
sm_removeNode("quest.door.lock")
sm_removeNode("quest")
sm_putNode("quest.door.lock.pin", "p")
sm_traceOut("quest")
sm_createNetwork("a.b")
sm_putNode("a.b", "x")
sm_traceOut("a.b")
sm_removeNetwork("quest") sm_traceOut("quest")
sm_removeNetwork("quest") sm_traceOut("quest")
print("gone:[" .. sm_getNode("quest.door") .. "]")
)");
    EXPECT_EQ(r.out, "root:[]\nlock:5\n"
                     "\nTraceOut of network, 'quest'\n.quest:0.5\n.quest.door:open\n"
                     ".quest.door.lock:\n.quest.door.lock.pin:p\n.quest.door.hinge:\n"
                     ".quest.door:\n.quest.door.lock:\n.quest.door.lock.pin:\n.quest.door.hinge:\n"
                     "***************\n\n"
                     "\nTraceOut of network, 'a.b'\n.a.b:\n***************\n\n"
                     "\nTraceOut of network, 'quest'\n.quest:\n***************\n\n"
                     "gone:[]\n");
}

TEST(StateMachineScript, EventsFireTraceModifyAndChain) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("quest")
sm_createNode("quest", "door") sm_createNode("quest", "light") sm_createNode("quest", "count")
sm_attachEvent("quest.door", sm_createEvent("modifynode", "open", "quest.light", "=", "on", "true"))
sm_attachEvent("quest.door", sm_createEvent("modifynode", "open", "quest.count", "+", 2, "false"))
sm_attachEvent("quest.light", sm_createEvent("tracemessage", "on", "light is on", "next", "TRUE"))
local parent = sm_createEvent("none", "4", "1")
local a = sm_createEvent("tracemessage", "x", "chained a", "true")
local b = sm_createEvent("tracemessage", "y", "chained b", "false")
print("chain returns parent: " .. sm_chainEvent(parent, a, b) - parent)
sm_attachEvent("quest.count", parent)
sm_putNode("quest.door", "open")
sm_putNode("quest.door", "open")
sm_putNode("quest.door", "shut")
sm_putNode("quest.light", "on")
sm_attachEvent("quest.door", sm_createEvent("tracemessage", "z", "flag 1 repeats", 1))
sm_putNode("quest.door", "z")
sm_putNode("quest.door", "z")
sm_putNode("quest.count", 4)
print("light:" .. sm_getNode("quest.light") .. " count:" .. sm_getNode("quest.count"))
)");
    EXPECT_EQ(r.out, "chain returns parent: 0\n"
                     "light is on\nnext\n"
                     "chained a\nchained b\n"
                     "light is on\nnext\n"
                     "flag 1 repeats\nflag 1 repeats\n"
                     "chained b\n"
                     "light:on count:4\n");
}

// Networks go in reverse call order; each event's chain comes before its own
// keys, events numbered per node; a value that is not one line is left out.
// The file loads back to the same values.
TEST(StateMachineScript, SaveWritesNetworksWithEventsAndLoadsBack) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("n") sm_createNode("n", "x")
sm_putNode("n.x", "a=b")
sm_createNetwork("m")
sm_createNode("m", "door")
local e = sm_createEvent("tracemessage", "open", "creak", "false")
sm_chainEvent(e, sm_createEvent("modifynode", "", "n.x", "/", "2", "true"))
sm_attachEvent("m.door", e)
sm_attachEvent("m.door", sm_createEvent("none", "z", "false"))
sm_attachEvent("n.x", sm_createEvent("tracemessage", "two\nlines", "a", "b\nc", "false"))
sm_createNode("n", "y") sm_putNode("n.y", "line\nn.x=injected")
sm_save("n", "m", "save.txt")
sm_putNode("n.x", "changed")
sm_load("n", "save.txt")
print(sm_getNode("n.x"))
)");
    EXPECT_EQ(game.read("save.txt"),
              "m=\nm.door=\nm.door.0.chainedEvents=1\n"
              "m.door.0.0.chainedEvents=0\nm.door.0.0.eventType=1\nm.door.0.0.valueToFireOn=\n"
              "m.door.0.0.isOneShot=1\nm.door.0.0.argNum=3\nm.door.0.0.argument.0=n.x\n"
              "m.door.0.0.argument.1=/\nm.door.0.0.argument.2=2\n"
              "m.door.0.eventType=2\nm.door.0.valueToFireOn=open\nm.door.0.isOneShot=0\n"
              "m.door.0.argNum=1\nm.door.0.argument.0=creak\n"
              "m.door.1.chainedEvents=0\nm.door.1.eventType=3\nm.door.1.valueToFireOn=z\n"
              "m.door.1.isOneShot=0\nm.door.1.argNum=0\n"
              "n=\nn.x=a=b\n"
              // event texts that do not fit on one line are left out, never read back anyway
              "n.x.0.chainedEvents=0\nn.x.0.eventType=2\nn.x.0.isOneShot=0\nn.x.0.argNum=2\n"
              "n.x.0.argument.0=a\n");
    EXPECT_EQ(r.out, "a=b\n");
    // A value of two lines could pose as another pair: it is left out, and said so.
    EXPECT_EQ(r.err, "SaveLoad: 1 pair(s) left out of 'save.txt': a key holds '=' or a line end, "
                     "or a value a line end or a final CR\n");
}

// Values are written in file order whatever network is named, firing events;
// event keys, blank lines and unknown networks are passed over.
TEST(StateMachineScript, LoadWritesValuesInFileOrderAndFiresEvents) {
    GameDir game;
    game.write("save.txt", "quest=root\r\nquest.door=shut\r\nquest.door.0.chainedEvents=0\r\n"
                           "quest.door.0.valueToFireOn=open\r\n\r\nnonet.door=open\r\n"
                           "quest.gold=12\r\nquest.door=open");
    GameRun r = runScript(game, R"(
sm_createNetwork("quest")
sm_createNode("quest", "door") sm_createNode("quest", "gold")
sm_attachEvent("quest.door", sm_createEvent("tracemessage", "open", "opened by load", "false"))
sm_load("anything", "save.txt")
sm_traceOut("quest")
)");
    EXPECT_EQ(r.out, "opened by load\n"
                     "\nTraceOut of network, 'quest'\n.quest:root\n.quest.door:open\n"
                     ".quest.gold:12\n***************\n\n");
}

// Calls missing arguments, with unknown handles or networks, or an unknown
// type word do nothing and return nil.
TEST(StateMachineScript, BadCallsAreRefusedWithoutHarm) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("q")
sm_createNode("q", "a")
sm_createNetwork() sm_removeNetwork() sm_createNode("q") sm_createNode(nil, "x") sm_removeNode()
sm_putNode("q.a") sm_putNode(nil, "v") sm_traceOut() sm_save() sm_load("save.txt")
print("getNode", sm_getNode(), sm_getNode("q.zz.a"), sm_getNode("zz.a"), ".")
print("createEvent", sm_createEvent("TRACEMESSAGE", "v", "line", "false"),
      sm_createEvent("none", "v"), sm_createEvent("tracemessage", nil, "x", "false"), ".")
local e = sm_createEvent("tracemessage", "v", "fired", "false")
print("chainEvent", sm_chainEvent(e + 100, e), sm_chainEvent(e, e + 100), sm_chainEvent(e, 0),
      sm_chainEvent(e), sm_chainEvent(e, "nonsense"), ".")
-- chaining an event to itself doubles it; past 4096 events the call is refused
local grow = sm_createEvent("none", "v", "false")
local i = 1
while i <= 40 and sm_chainEvent(grow, grow) do i = i + 1 end
print("doubled", i - 1)
sm_attachEvent("q.a", e + 100) sm_attachEvent("q.a", nil) sm_attachEvent("q.a", -1)
sm_attachEvent("q.zz", e) sm_attachEvent("zz", e)
sm_putNode("zz.a", "v") sm_createNode("zz", "a") sm_removeNode("zz.a") sm_traceOut("zz")
sm_save("zz", "save.txt") sm_putNode("q.a", "v")
sm_attachEvent("q.a", e + 0.9) sm_putNode("q.a", "v")
sm_traceOut("q")
)");
    EXPECT_EQ(r.out, "getNode\tnil\t\t\t.\n"
                     "createEvent\tnil\tnil\tnil\t.\n"
                     "chainEvent\tnil\tnil\tnil\tnil\tnil\t.\n"
                     "doubled\t12\n"
                     "fired\n"
                     "\nTraceOut of network, 'q'\n.q:\n.q.a:v\n***************\n\n");
    EXPECT_EQ(game.read("save.txt"), "");
}

} // namespace
