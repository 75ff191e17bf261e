-- The Moonlit Manor: a two-room demo adventure for the Vond engine.
-- Written in Lua 4.0. Light the lamp, open the chest, take the key and
-- unlock the study door to escape.

-- Window, hotspot and timed-event numbers used below.
NARRATION = 0  VERB_LABELS = 1  VERB_PANEL = 2  SAVE_BUTTON = 3  LOAD_BUTTON = 4
LEFT_ARROW = 5  RIGHT_ARROW = 6  KEY_ICON = 7  TITLE = 8
EV_INTRO = 1  EV_CAT = 2  EV_SCROLL = 3  EV_HINT = 4
SCENE_LAYER = 1   -- the tilemap layer; its sprites live on sprite layer 2
SPRITES = 2
ROOM_WIDTH = 20   -- tiles per room; the study starts 20 tiles to the right
LINE_CHARS = 22   -- the window holds 23 cells a line, but a line feed right after
                  -- a full line leaves an empty line, so lines stop one short

SND_CLICK = 0  SND_DOOR = 1  SND_CHEST = 2  SND_LAMP = 3  SND_MEOW = 4  SND_FANFARE = 5

-- Pictures: numbers from 1000 on, since the tileset's tiles take 0 to 511 ---
addFont(0, "fonts/font.png")
addImage(1001, "pics/backdrop.png")
addImage(1002, "pics/darkness.png")
addImage(1010, "pics/verbs.png")
addImage(1011, "pics/radio_on.png")
addImage(1012, "pics/radio_off.png")
addImage(1013, "pics/arrow_left.png")
addImage(1014, "pics/arrow_right.png")
addImage(1015, "pics/key.png")
addImage(1016, "pics/title_frame.png")
addImage(1101, "pics/cat0.png")
addImage(1102, "pics/cat1.png")
addImage(1103, "pics/cat2.png")
addImage(1104, "pics/cat3.png")
addImage(1110, "pics/chest_open.png")
addImage(1111, "pics/door_open.png")
addImage(1112, "pics/lamp_on.png")

-- Sounds and music ---------------------------------------------------------
loadSound(SND_CLICK, "sounds/click.wav")
loadSound(SND_DOOR, "sounds/door.wav")
loadSound(SND_CHEST, "sounds/chest.wav")
loadSound(SND_LAMP, "sounds/lamp.wav")
loadSound(SND_MEOW, "sounds/meow.wav")
loadSound(SND_FANFARE, "sounds/fanfare.wav")
loadSong(0, "music/theme.ogg")
playSong(0, -1)

-- The scene: a backdrop, the manor's tilemap over it, darkness over both ----
loadMap(0, "maps/manor.map")
-- The garden seen at the end, drawn in the Tiled editor and converted by
-- tools/tiled2kavmap as map 1 with tileset 1 (images 512 on), so that it
-- replaces neither the manor's map nor its tileset.
GARDEN = 1
loadMap(GARDEN, "maps/garden.map")
setLayerProperty(0, 0, 0)          -- picture mode, opaque
setLayerPic(0, 1001)
setLayerProperty(SCENE_LAYER, 1, 1) -- tilemap mode, transparent where the tileset's key shows
setTilemap(SCENE_LAYER, 0)          -- after the mode, so the tileset's key colour is the colour key
setLPointer(SCENE_LAYER, 0, 0, 0, 0)
setLayerProperty(2, 0, 1)           -- picture mode, transparent: a dithered shadow
setLayerPic(2, 1002)
toggleLayer(0)
toggleLayer(SCENE_LAYER)
toggleLayer(2)
toggleSLayer(SPRITES)

-- Sprite templates: the cat walks; the others show changed furniture.
addSprite(1, 0, 4, 1101, 1102, 1103, 1104)
addSprite(2, 1, 1, 1110)
addSprite(3, 1, 1, 1111)
addSprite(4, 1, 1, 1112)

-- The game's state -----------------------------------------------------------
-- Builds the "game" network with its starting values and its events. Loading a
-- save rebuilds it first, so events that fired before the save are armed again
-- and fire as the loaded values are written.
function newGameState()
  sm_createNetwork("game")
  for _, name in {"room", "lamp", "chest", "key", "door", "score", "verb"} do
    sm_createNode("game", name)
  end
  sm_putNode("game.room", 0)
  sm_putNode("game.lamp", "off")
  sm_putNode("game.chest", "closed")
  sm_putNode("game.key", "chest")
  sm_putNode("game.door", "locked")
  sm_putNode("game.score", 0)
  sm_putNode("game.verb", "look")
  -- Trace lines on standard output, and the score kept by the machine itself.
  sm_attachEvent("game.lamp", sm_createEvent("tracemessage", "on", "The lamp flickers to life.", "false"))
  local keyScore = sm_createEvent("modifynode", "taken", "game.score", "+", 5, "true")
  sm_chainEvent(keyScore, sm_createEvent("tracemessage", "taken", "You pocket the key.", "false"))
  sm_attachEvent("game.key", keyScore)
  sm_attachEvent("game.door", sm_createEvent("modifynode", "open", "game.score", "+", 10, "true"))
end
newGameState()

-- Narration ------------------------------------------------------------------
-- Breaks text into lines of at most LINE_CHARS characters at blanks.
function wrap(text)
  local out, line = "", ""
  local rest = text .. " "
  local s, e = strfind(rest, "[^ ]+ ")
  while s do
    local word = strsub(rest, s, e - 1)
    if line == "" then
      line = word
    elseif strlen(line) + 1 + strlen(word) <= LINE_CHARS then
      line = line .. " " .. word
    else
      out = out .. line .. "\n"
      line = word
    end
    rest = strsub(rest, e + 1)
    s, e = strfind(rest, "[^ ]+ ")
  end
  return out .. line
end

function say(text)
  setTxtString(NARRATION, wrap(text))
end

addString(0, "")
newTxtWin(NARRATION, 112, 384, 400, 96, 0)
setWinFlags(NARRATION, 16)          -- reveal one character at a time
setTxtBD(NARRATION, 4243680)        -- a gold border (red E0, green C0, blue 40)

-- The verb panel: labels, radio lamps over them, and a hotspot per row.
newPicWin(VERB_LABELS, 8, 384, 1010)
newRadButton(VERB_PANEL, 8, 384, 96, 84)
setRadButtons(VERB_PANEL, 3, 1011, 1012, 0, 2, 0, 30, 0, 58)
verbs = {"look", "use", "take"}
for i, verb in verbs do
  newClickH(8, 384 + 28 * (i - 1), 103, 384 + 28 * i - 1, i,
            format("chooseVerb(%q)", verb))
end

function chooseVerb(verb)
  sm_putNode("game.verb", verb)
  playSound(SND_CLICK, -1, 0)
end

-- Save and load buttons.
addString(1, "Save")
addString(2, "Load")
newTxtWin(SAVE_BUTTON, 528, 384, 104, 48, 1)
newTxtWin(LOAD_BUTTON, 528, 432, 104, 48, 2)
setTxtBD(SAVE_BUTTON, 8421504)
setTxtBD(LOAD_BUTTON, 8421504)
newClickH(528, 384, 631, 431, 4, "saveGame()")
newClickH(528, 432, 631, 479, 5, "loadGame()")

function saveGame()
  sm_save("game", "save.txt")
  playSound(SND_CLICK, -1, 0)
  say("Game saved.")
end

function loadGame()
  local room, verb = sm_getNode("game.room"), sm_getNode("game.verb")
  sm_removeNetwork("game")
  newGameState()
  sm_load("game", "save.txt")
  -- The camera and the verb panel stay as they are.
  sm_putNode("game.room", room)
  sm_putNode("game.verb", verb)
  refresh()
  say("Game loaded.")
end

-- Arrows that scroll to the other room.
newPicWin(LEFT_ARROW, 4, 168, 1013)
newPicWin(RIGHT_ARROW, 612, 168, 1014)
setWinFlags(LEFT_ARROW, 16)
setWinFlags(RIGHT_ARROW, 16)
newClickH(0, 160, 31, 223, 6, "goRoom(0)")
newClickH(608, 160, 639, 223, 7, "goRoom(1)")

-- The key in the inventory, off screen until taken.
newPicWin(KEY_ICON, 648, 8, 1015)
setWinFlags(KEY_ICON, 16)

-- Rooms and their hotspots ----------------------------------------------------
-- Hotspots are screen rectangles, so each room makes its own (numbers 10 on).
hotspots = {
  [0] = {
    {96, 192, 127, 223, "lamp"},
    {288, 160, 351, 287, "books"},
    {416, 320, 447, 351, "chest"},
    {480, 300, 639, 351, "cat"},
  },
  [1] = {
    {320, 224, 351, 287, "door"},
    {192, 128, 223, 159, "window"},
    {128, 320, 287, 351, "rug"},
  },
}

function makeHotspots(room)
  local n = 10
  for _, spot in hotspots[room] do
    newClickH(spot[1], spot[2], spot[3], spot[4], n, format("act(%q)", spot[5]))
    n = n + 1
  end
end

function clearHotspots()
  local n = 10
  while n < 20 do
    delClickH(n)
    n = n + 1
  end
end

scrollSteps = 0
function goRoom(room)
  local current = tonumber(sm_getNode("game.room"))
  if room == current or scrollSteps > 0 then return end
  clearHotspots()
  sm_putNode("game.room", room)
  playSound(SND_CLICK, -1, 0)
  scrollSteps = 80                  -- 80 steps of 8 pixels: one room
  if room == 1 then scrollBy = -8 else scrollBy = 8 end
  addTimedEvent(EV_SCROLL, 0, 1, 15, "scrollStep()")
end

function scrollStep()
  MoveLPointer(SCENE_LAYER, 0, 0, scrollBy, 0)
  scrollSteps = scrollSteps - 1
  if scrollSteps <= 0 then
    delTimedEvent(EV_SCROLL)
    makeHotspots(tonumber(sm_getNode("game.room")))
  end
end

-- What each verb does to each thing.
function act(thing)
  local verb = sm_getNode("game.verb")
  local handler = actions[thing .. ":" .. verb] or actions[thing]
  if handler then handler() else say("Nothing happens.") end
end

-- Makes an action that only says something; the text is copied as an upvalue.
function saying(text)
  return function() say(%text) end
end

actions = {
  ["lamp:look"] = saying("An oil lamp on the wall."),
  ["lamp:use"] = function()
    if sm_getNode("game.lamp") == "on" then say("It is already lit.") return end
    sm_putNode("game.lamp", "on")
    playSound(SND_LAMP, -1, 0)
    refresh()
    say("Warm light fills the hall.")
  end,
  ["lamp:take"] = saying("It is fixed to the wall."),
  books = saying("Dusty books. One title reads: Where Keys Sleep."),
  ["chest:look"] = function()
    if sm_getNode("game.lamp") ~= "on" then say("A dark shape. Too dark to see.")
    elseif sm_getNode("game.chest") == "open" and sm_getNode("game.key") == "chest" then
      say("A brass key lies inside.")
    else say("An old oak chest.") end
  end,
  ["chest:use"] = function()
    if sm_getNode("game.lamp") ~= "on" then say("Too dark to find the latch.") return end
    if sm_getNode("game.chest") == "open" then say("It is open.") return end
    sm_putNode("game.chest", "open")
    playSound(SND_CHEST, -1, 0)
    refresh()
    say("The lid creaks open.")
  end,
  ["chest:take"] = function()
    if sm_getNode("game.chest") ~= "open" or sm_getNode("game.key") ~= "chest" then
      say("There is nothing to take.") return
    end
    sm_putNode("game.key", "taken")
    refresh()
    say("You take the brass key.")
  end,
  ["cat:look"] = saying("A black cat keeps watch."),
  ["cat:use"] = function() playSound(SND_MEOW, -1, 0) say("Meow!") end,
  ["cat:take"] = function() playSound(SND_MEOW, -1, 0) say("The cat slips away.") end,
  ["door:look"] = function()
    if sm_getNode("game.door") == "open" then say("The way out, open at last.")
    else say("A heavy locked door.") end
  end,
  ["door:use"] = function()
    local door = sm_getNode("game.door")
    if door == "open" then escape() return end
    if sm_getNode("game.key") ~= "taken" then say("Locked. You need a key.") return end
    sm_putNode("game.door", "open")
    playSound(SND_DOOR, -1, 0)
    refresh()
    say("The key turns. The door swings open!")
  end,
  ["door:take"] = saying("A door is not a thing you carry."),
  window = saying("The moon is bright tonight."),
  rug = saying("A red rug. Nothing under it."),
}

-- Shows the state of the world: furniture sprites, darkness, inventory.
shown = {}
function showSprite(name, template, x, y)
  if not shown[name] then shown[name] = placeSprite(template, SPRITES, x, y, 0, 0) end
end
function hideSprite(name)
  if shown[name] then
    delSprite(shown[name], SPRITES)
    shown[name] = nil
  end
end

darkShown = 1
keyShown = nil
function refresh()
  local lit = sm_getNode("game.lamp") == "on"
  if lit then showSprite("lamp", 4, 3, 6) else hideSprite("lamp") end
  if lit and darkShown then toggleLayer(2) darkShown = nil end
  if not lit and not darkShown then toggleLayer(2) darkShown = 1 end
  if sm_getNode("game.chest") == "open" then showSprite("chest", 2, 13, 10)
  else hideSprite("chest") end
  if sm_getNode("game.door") == "open" then showSprite("door", 3, 30, 7)
  else hideSprite("door") end
  local taken = sm_getNode("game.key") == "taken"
  if taken and not keyShown then winTimedMove(KEY_ICON, -48, 0, 96, 0) keyShown = 1 end
  if not taken and keyShown then moveWinBy(KEY_ICON, 48, 0) keyShown = nil end
end

-- The cat patrols the hall floor.
catSlot = placeSprite(1, SPRITES, 16, 10, 0, 0)
catStep = 4
function catWalk()
  local x = getSpriteX(catSlot, SPRITES)
  if x >= 19 then catStep = -4 elseif x <= 15 then catStep = 4 end
  moveSprite(catSlot, SPRITES, 0, 0, catStep, 0)
end
addTimedEvent(EV_CAT, 0, 1, 60, "catWalk()")

-- The ending: out in the garden under the night sky.
function escape()
  DestroyAll()
  stopMusic()
  playSound(SND_FANFARE, -1, 0)
  delTimedEvent(EV_CAT)
  setLayerProperty(0, 0, 0)          -- the sky of the backdrop
  setLayerPic(0, 1001)
  setLayerProperty(1, 1, 1)          -- the garden, see-through where Tiled left it empty
  setTilemap(1, GARDEN)
  toggleLayer(0)
  toggleLayer(1)
  addString(3, format("You escaped!\nScore: %d\n\nThanks for\nplaying.",
                      tonumber(sm_getNode("game.score")) or 0))
  newPicWin(TITLE, 160, 180, 1016)
  newTxtWin(NARRATION, 168, 188, 304, 112, 3)
  setWinFlags(NARRATION, 16 + 32)
  sm_traceOut("game")
end

makeHotspots(0)
refresh()
addTimedEvent(EV_INTRO, 1, 1, 300,
  "say('Locked in the manor at night. Pick a verb, then click on things.')")
errorMsg("The Moonlit Manor is ready.")
