// Cascades of events nested deeper than the stack could hold: each node write
// fires an event whose chain is hundreds of events deep, and the last event
// of the chain writes the node again. The game must go on with status 0.
#include "vondRun.h"

namespace {

// cascade(net, writes, depth): network `net`, node `net.c`; `writes` events
// wait for the values 0, 1, 2 ... of c; each fires a chain `depth` events deep
// whose last event adds 1 to c, so every write of c sets off the next one,
// `depth` levels further down. Prints the network and the final c.
const std::string CASCADE = R"(
function cascade(net, writes, depth)
  sm_createNetwork(net) sm_createNode(net, 'c')
  local chain = sm_createEvent('modifynode', 'x', net .. '.c', '+', 1, 'false')
  for k = 2, depth - 1 do
    local link = sm_createEvent('none', 'x', 'false')
    sm_chainEvent(link, chain) chain = link
  end
  for v = 0, writes - 1 do
    local root = sm_createEvent('none', v, 'false')
    sm_chainEvent(root, chain) sm_attachEvent(net .. '.c', root)
  end
  sm_putNode(net .. '.c', 0)
  print(net, sm_getNode(net .. '.c'))
end
)";

// Cascades within 1000 levels run to their end; 400 writes of 300-deep chains,
// and 1000 writes of 100-deep chains, each overflowed an 8 MB stack. They now
// stop where the nesting reaches 1000 levels, with one line for each outside
// write that reached it.
TEST(EventDepth, CascadesRunToTheirEndOrStopAtTheBoundAndTheGameGoesOn) {
    GameDir game;
    GameRun r = game.runScript(CASCADE + "cascade('shallow', 300, 3) cascade('writes', 500, 2)\n"
                                         "cascade('long', 400, 300) cascade('many', 1000, 100)\n"
                                         "print('still running') exit(0)\n",
                               300);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err.substr(0, 2000);
    // 1000 levels hold 3 whole chains of 300 (c reaches 3) or 10 of 100.
    EXPECT_EQ(r.out, "shallow\t300\nwrites\t500\nlong\t3\nmany\t10\nstill running\n");
    const std::string line =
        "Event: events past 1000 levels not fired: chains and node writes nested too deeply\n";
    EXPECT_EQ(r.err, line + line);
}

} // namespace
