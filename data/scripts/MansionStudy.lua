-- MansionStudy.lua: the script of Mansion Study (room 51), where the
-- millionaire keeps his secrets in a safe; a click on the safe opens its
-- lock close up. In the fifth chapter the safe holds the key of the dive
-- shop at the dock, which the player takes at once.
rooms = rooms or {}
local room = roomWithPeople("MansionStudy", {
    Millionaire = {x = 620, y = 242, "STR_MILLIONAIRE_1", "STR_MILLIONAIRE_2"},
})
local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    self:sprite("Safe"):setFrame(LF.safeOpened and 1 or 0)
end
local clicked = room.onClick
room.onClick = function(self, x, y)
    if not LF.safeOpened and self:sprite("Safe"):hittest(x, y) then
        -- The millionaire falls silent: his balloon would lie over the lock.
        local man = characterNamed(self, "Millionaire")
        if man and man:isTalking() then
            man:stopTalk()
        end
        canvas:enterSafeCrack()
        return
    end
    clicked(self, x, y)
end
-- The player left the lock without opening it.
function room.closeSafeCrack(self)
end
-- The lock is open: the safe stands open, and in it lies the dive shop's
-- key.
function room.setRoomState(self)
    self:sprite("Safe"):setFrame(1)
    if self:getChapterNumber() == 5 then
        think("STR_THINK_SAFE")
    end
end
rooms["MansionStudy"] = room
