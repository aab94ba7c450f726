-- WhackAClam.lua: the script of Whack AClam (room 18), the pearl game, and
-- the table of its class, hv.WhackAClam. The first click in the room starts
-- the dive (the air runs from then on); a won game stands a moment saying so
-- and leads back to the dive dock, as the close button does; after a lost one
-- the close button or the exit
-- leads out, which a click on the water says again. A click on a clam that
-- takes no pearl says why in the word line above the clams, until the next
-- click, so that a pearl the clam shut on just before the click is not taken
-- for caught. The first game won brings the pearls the
-- diving boat's skipper waits for, told of at the dock.
hv = hv or {}
hv.WhackAClam = hv.WhackAClam or {}
rooms = rooms or {}
rooms["WhackAClam"] = roomScript("WhackAClam")

local room = rooms["WhackAClam"]
-- The dive of this visit was lost for air.
local lost = false
local function word(self, id)
    self:sprite("DiveWord"):setText(id and hv.getResourceString(id) or "")
end
local enter = room.onEnter
function room.onEnter(self, n)
    enter(self, n)
    LF.diving = false
    lost = false
    word(self, nil)
    -- Activating queues the how-to-play, so that a first visit shows it at
    -- once; the room itself then waits, inactive, for the first click.
    self:activateGame(true)
end
function room.onClick(self, x, y)
    word(self, nil)
    if not LF.diving then
        LF.diving = true
        self:activateGame(true)
    elseif lost and not self:sprite("WhackAClamClose"):hittest(x, y) then
        think("STR_THINK_DIVE_LOST")
    end
end
-- "shut" is 1 when the clicked clam was shut, 0 when it was open and empty.
function room.noPearl(self, shut)
    word(self, shut == 1 and "STR_DIVE_SHUT" or "STR_DIVE_EMPTY")
end
-- The first game won brings the pearls up, recorded as the last is caught.
local function bringPearls()
    if not LF.pearlsWon then
        LF.pearlsWon = true
        LF_giveItem("Pearls")
        LF_tellOnArrival("STR_PEARLS_WON")
    end
end
-- The last pearl is in: the dive stands with its full row and says so.
function room.onAllCaught(self)
    bringPearls()
    word(self, "STR_DIVE_WON")
end
function room.onWin(self, n)
    bringPearls()
    self:moveToRoom("DiveDock")
end
-- A lost dive is said: the player leaves to breathe and dives again.
function room.onLose(self, n)
    LF.diving = true
    lost = true
    think("STR_THINK_DIVE_LOST")
end
function room.onClose(self, n)
    self:moveToRoom("DiveDock")
end
