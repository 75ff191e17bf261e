-- Developer script, run by the backspace key: lists the game's state on
-- standard output and notes the camera position in the log.
sm_traceOut("game")
errorMsg(format("wantlab: room %s, layer 1 at tile %d,%d",
                sm_getNode("game.room"), getLayerX(1), getLayerY(1)))
