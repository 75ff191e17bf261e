// The sm_ functions driven from a start-up script in the real binary: standard
// output and save files compared byte for byte.
#include "vondRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the script (which must end with exit(0)) and checks it ended cleanly.
GameRun runScript(const GameDir& game, const std::string& lua) {
    game.monkey(lua);
    GameRun r = game.run(60);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("error"), std::string::npos) << r.err;
    return r;
}

TEST(StateMachineScript, NetworksNodesAndTraces) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("quest")
print("root:[" .. sm_getNode("quest") .. "]")
sm_createNode("quest", "door")
sm_createNode("quest.door", "lock")
sm_createNode("quest", "door")
sm_putNode("quest.door", "open")
sm_putNode("quest.door.lock", 5)
sm_putNode("quest", 0.5)
print("door:" .. sm_getNode("quest.door") .. " lock:" .. sm_getNode("quest.door.lock"))
sm_traceOut("quest")
sm_removeNode("quest.door.lock")
sm_removeNode("quest")
sm_traceOut("quest")
sm_createNetwork("a.b")
sm_traceOut("a.b")
sm_removeNetwork("quest")
sm_traceOut("quest")
print("gone:[" .. sm_getNode("quest") .. "]")
exit(0)
)");
    EXPECT_EQ(r.out, "root:[]\n"
                     "door:open lock:5\n"
                     "\nTraceOut of network, 'quest'\n.quest:0.5\n.quest.door:open\n"
                     ".quest.door.lock:5\n.quest.door:\n***************\n\n"
                     "\nTraceOut of network, 'quest'\n.quest:0.5\n.quest.door:open\n"
                     ".quest.door:\n***************\n\n"
                     "\nTraceOut of network, 'a.b'\n.a.b:\n***************\n\n"
                     "gone:[]\n");
}

TEST(StateMachineScript, EventsFireTraceModifyAndChain) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("quest")
sm_createNode("quest", "door")
sm_createNode("quest", "light")
sm_createNode("quest", "count")
local light = sm_createEvent("modifynode", "open", "quest.light", "=", "on", "true")
sm_attachEvent("quest.door", light)
local add = sm_createEvent("modifynode", "open", "quest.count", "+", 2, "false")
sm_attachEvent("quest.door", add)
local onLight = sm_createEvent("tracemessage", "on", "light is on", "second line", "TRUE")
sm_attachEvent("quest.light", onLight)
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
print("light:" .. sm_getNode("quest.light") .. " count:" .. sm_getNode("quest.count"))
exit(0)
)");
    EXPECT_EQ(r.out, "chain returns parent: 0\n"
                     "light is on\nsecond line\n"
                     "chained a\nchained b\n"
                     "light is on\nsecond line\n"
                     "flag 1 repeats\nflag 1 repeats\n"
                     "light:on count:4\n");
}

TEST(StateMachineScript, SaveWritesNetworksInReverseCallOrderWithEvents) {
    GameDir game;
    runScript(game, R"(
sm_createNetwork("n")
sm_createNode("n", "x")
sm_putNode("n.x", "1")
sm_createNetwork("m")
sm_createNode("m", "door")
local e = sm_createEvent("tracemessage", "open", "creak", "false")
local c = sm_createEvent("modifynode", "", "n.x", "/", "2", "true")
sm_chainEvent(e, c)
sm_attachEvent("m.door", e)
sm_save("n", "m", "save.txt")
sm_save("empty.txt")
exit(0)
)");
    EXPECT_EQ(game.read("save.txt"), "m=\n"
                                     "m.door=\n"
                                     "m.door.0.chainedEvents=1\n"
                                     "m.door.0.0.chainedEvents=0\n"
                                     "m.door.0.0.eventType=1\n"
                                     "m.door.0.0.valueToFireOn=\n"
                                     "m.door.0.0.isOneShot=1\n"
                                     "m.door.0.0.argNum=3\n"
                                     "m.door.0.0.argument.0=n.x\n"
                                     "m.door.0.0.argument.1=/\n"
                                     "m.door.0.0.argument.2=2\n"
                                     "m.door.0.eventType=2\n"
                                     "m.door.0.valueToFireOn=open\n"
                                     "m.door.0.isOneShot=0\n"
                                     "m.door.0.argNum=1\n"
                                     "m.door.0.argument.0=creak\n"
                                     "n=\n"
                                     "n.x=1\n");
    EXPECT_TRUE(game.exists("empty.txt"));
    EXPECT_EQ(game.read("empty.txt"), "");
    EXPECT_FALSE(game.exists("save.txt.tmp"));
}

TEST(StateMachineScript, LoadWritesValuesInFileOrderAndFiresEvents) {
    GameDir game;
    game.write("save.txt", "quest=root\r\n"
                           "quest.door=shut\r\n"
                           "quest.door.0.chainedEvents=0\r\n"
                           "quest.door.0.valueToFireOn=open\r\n"
                           "\r\n"
                           "nonet.door=open\r\n"
                           "quest.gold=12\r\n"
                           "quest.door=open");
    GameRun r = runScript(game, R"(
sm_createNetwork("quest")
sm_createNode("quest", "door")
sm_createNode("quest", "gold")
sm_attachEvent("quest.door", sm_createEvent("tracemessage", "open", "opened by load", "false"))
sm_load("anything", "save.txt")
sm_load("anything", "missing.txt")
sm_traceOut("quest")
exit(0)
)");
    EXPECT_EQ(r.out, "opened by load\n"
                     "\nTraceOut of network, 'quest'\n.quest:root\n.quest.door:open\n"
                     ".quest.gold:12\n***************\n\n");
}

TEST(StateMachineScript, SaveThenLoadRestoresValues) {
    GameDir game;
    GameRun r = runScript(game, R"(
sm_createNetwork("q")
sm_createNode("q", "a")
sm_createNode("q.a", "b")
sm_putNode("q.a.b", "x=y")
sm_attachEvent("q.a", sm_createEvent("tracemessage", "never", "t", "false"))
sm_save("q", "save.txt")
sm_putNode("q.a.b", "changed")
sm_load("q", "save.txt")
print(sm_getNode("q.a.b"))
exit(0)
)");
    EXPECT_EQ(r.out, "x=y\n");
}

TEST(StateMachineScript, BadCallsAreRefusedWithoutHarm) {
    GameDir game;
    GameRun r = runScript(game, R"(
function show(label, v)
  if v == nil then print(label .. ":nil") else print(label .. ":" .. v) end
end
sm_createNetwork("q")
sm_createNode("q", "a")
sm_createNetwork()
sm_removeNetwork()
sm_createNode("q")
sm_createNode(nil, "x")
sm_removeNode()
sm_putNode("q.a")
sm_putNode(nil, "v")
sm_traceOut()
sm_save()
sm_load("save.txt")
show("getNode none", sm_getNode())
show("getNode missing node", sm_getNode("q.zz.a"))
show("getNode missing net", sm_getNode("zz.a"))
show("bad type", sm_createEvent("TRACEMESSAGE", "v", "line", "false"))
show("two args", sm_createEvent("none", "v"))
show("nil arg", sm_createEvent("tracemessage", nil, "x", "false"))
local e = sm_createEvent("tracemessage", "v", "fired", "false")
show("unknown parent", sm_chainEvent(e + 100, e))
show("unknown child", sm_chainEvent(e, e + 100))
show("zero", sm_chainEvent(e, 0))
show("one arg", sm_chainEvent(e))
show("text handle", sm_chainEvent(e, "nonsense"))
sm_attachEvent("q.a", e + 100)
sm_attachEvent("q.a", nil)
sm_attachEvent("q.a", -1)
sm_attachEvent("q.zz", e)
sm_attachEvent("zz", e)
sm_putNode("zz.a", "v")
sm_createNode("zz", "a")
sm_removeNode("zz.a")
sm_traceOut("zz")
sm_save("zz", "save.txt")
sm_putNode("q.a", "v")
sm_attachEvent("q.a", e + 0.9)
sm_putNode("q.a", "v")
sm_traceOut("q")
exit(0)
)");
    EXPECT_EQ(r.out, "getNode none:nil\n"
                     "getNode missing node:\n"
                     "getNode missing net:\n"
                     "bad type:nil\n"
                     "two args:nil\n"
                     "nil arg:nil\n"
                     "unknown parent:nil\n"
                     "unknown child:nil\n"
                     "zero:nil\n"
                     "one arg:nil\n"
                     "text handle:nil\n"
                     "fired\n"
                     "\nTraceOut of network, 'q'\n.q:\n.q.a:v\n***************\n\n");
    EXPECT_EQ(game.read("save.txt"), "");
}

TEST(StateMachineScript, UnsavableValueKeepsThePreviousSave) {
    GameDir game;
    game.write("save.txt", "q=previous\n");
    runScript(game, R"(
sm_createNetwork("q")
sm_createNode("q", "a")
sm_putNode("q.a", "line\nq=injected")
sm_save("q", "save.txt")
exit(0)
)");
    EXPECT_EQ(game.read("save.txt"), "q=previous\n");
    EXPECT_FALSE(game.exists("save.txt.tmp"));
}

TEST(StateMachineScript, FailedWriteKeepsThePreviousSave) {
    GameDir game;
    game.write("save.txt", "q=previous\n");
    ASSERT_EQ(::symlink("/dev/full", game.file("save.txt.tmp").c_str()), 0);
    runScript(game, R"(
sm_createNetwork("q")
sm_putNode("q", "new")
sm_save("q", "save.txt")
sm_save("q", "no/such/dir/save.txt")
exit(0)
)");
    EXPECT_EQ(game.read("save.txt"), "q=previous\n");
    EXPECT_FALSE(game.exists("save.txt.tmp"));
}

off_t sizeOf(const std::string& file) {
    struct stat info;
    return ::stat(file.c_str(), &info) == 0 ? info.st_size : -1;
}

// The game saves a large network over and over; it is killed as soon as a
// partly written save shows on disk, and the save file must be whole.
TEST(StateMachineScript, KilledWhileSavingLeavesTheSaveWhole) {
    GameDir game;
    const std::string oldBytes = "q=previous\n";
    game.write("save.txt", oldBytes);
    game.monkey(R"(
sm_createNetwork("q")
for i = 1, 50000 do sm_createNode("q", "n" .. i) end
sm_putNode("q", "new")
while 1 do sm_save("q", "save.txt") end
)");
    std::map<std::string, std::string> env = sanitizerEnvironment();
    env["SDL_VIDEODRIVER"] = "dummy";
    env["SDL_AUDIODRIVER"] = "dummy";
    vondProcess p = startProcess({VOND_BINARY}, game.path(), env);
    // q=new plus 50000 lines "q.nI=".
    off_t newSize = 6;
    for (int i = 1; i <= 50000; ++i)
        newSize += 5 + static_cast<off_t>(std::to_string(i).size());
    bool caught = false;
    for (int polls = 0; polls < 2000000 && !caught; ++polls) {
        const off_t tmp = sizeOf(game.file("save.txt.tmp"));
        caught = tmp > 0 && tmp < newSize && sizeOf(game.file("save.txt")) >= 0;
        if (::waitpid(p.pid, nullptr, WNOHANG) != 0) break;
    }
    ::kill(p.pid, SIGKILL);
    waitProcess(p, 10);
    EXPECT_TRUE(caught) << "no save was caught while writing";
    const std::string after = game.read("save.txt");
    EXPECT_TRUE(after == oldBytes ||
                (static_cast<off_t>(after.size()) == newSize && after.rfind("q=new\n", 0) == 0))
        << after.size();
}

} // namespace
