-- The demo game's busiest scene, set up with the same engine calls as
-- game/scripts/monkey.lua but in the subset that Lua 4.0 and 5.1 share, so the
-- frame benchmark can run it before the 4.0 host is complete. Run with the
-- working directory set to game/. Pictures from 1000 on: the tileset's
-- tiles take image numbers 0 to 511.
addFont(0, "fonts/font.png")
addImage(1001, "pics/backdrop.png")
addImage(1002, "pics/darkness.png")
addImage(1010, "pics/verbs.png")
addImage(1011, "pics/radio_on.png")
addImage(1012, "pics/radio_off.png")
addImage(1013, "pics/arrow_left.png")
addImage(1014, "pics/arrow_right.png")
addImage(1015, "pics/key.png")
addImage(1101, "pics/cat0.png")
addImage(1102, "pics/cat1.png")
addImage(1103, "pics/cat2.png")
addImage(1104, "pics/cat3.png")

loadMap(0, "maps/manor.map")
setLayerProperty(0, 0, 0)
setLayerPic(0, 1001)
setLayerProperty(1, 1, 1)
setTilemap(1, 0)
setLPointer(1, 0, 0, 0, 0)
setLayerProperty(2, 0, 1)
setLayerPic(2, 1002)
toggleLayer(0)
toggleLayer(1)
toggleLayer(2)
toggleSLayer(2)

addSprite(1, 0, 4, 1101, 1102, 1103, 1104)

addString(0, "")
newTxtWin(0, 112, 384, 400, 96, 0)
setWinFlags(0, 16)
setTxtBD(0, 4243680)
newPicWin(1, 8, 384, 1010)
newRadButton(2, 8, 384, 96, 84)
setRadButtons(2, 3, 1011, 1012, 0, 2, 0, 30, 0, 58)
addString(1, "Save")
addString(2, "Load")
newTxtWin(3, 528, 384, 104, 48, 1)
newTxtWin(4, 528, 432, 104, 48, 2)
setTxtBD(3, 8421504)
setTxtBD(4, 8421504)
newPicWin(5, 4, 168, 1013)
newPicWin(6, 612, 168, 1014)
setWinFlags(5, 16)
setWinFlags(6, 16)
newPicWin(7, 648, 8, 1015)
setWinFlags(7, 16)

room = 0
scrollSteps = 0
function goRoom(to)
  room = to
  scrollSteps = 80
  if to == 1 then scrollBy = -8 else scrollBy = 8 end
  addTimedEvent(3, 0, 1, 15, "scrollStep()")
end
function scrollStep()
  MoveLPointer(1, 0, 0, scrollBy, 0)
  scrollSteps = scrollSteps - 1
  if scrollSteps <= 0 then delTimedEvent(3) end
end
function say(text)
  setTxtString(0, text)
end

catSlot = placeSprite(1, 2, 16, 10, 0, 0)
catStep = 4
function catWalk()
  local x = getSpriteX(catSlot, 2)
  if x >= 19 then catStep = -4 elseif x <= 15 then catStep = 4 end
  moveSprite(catSlot, 2, 0, 0, catStep, 0)
end
addTimedEvent(2, 0, 1, 60, "catWalk()")
