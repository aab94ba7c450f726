-- CallBox.lua: the script of Call Box (room 22), the telephone of the
-- mansion gate, and the table of its class, hv.CallBox. The mansion's
-- intercom answers from the telephone. A click on the receiver or the keypad
-- lifts the receiver and turns the dial on (a key so clicked dials at once,
-- and a click that cuts the intercom short is not lost); the keys dial
-- their digits into the register, "C" clears it, "OK" tests the number, and
-- a click on the lifted receiver hangs it up again. In the second chapter
-- the receiver comes off its hook only once the gallery owner has given the
-- card with the mansion's number; before, the intercom asks for the number.
hv = hv or {}
hv.CallBox = hv.CallBox or {}
rooms = rooms or {}

-- Run first as the class's script, before the people's helpers are loaded:
-- the room is made on the second run, as the room's script.
if not roomWithPeople then
    return
end

-- The intercom greets the caller once the receiver is lifted. It speaks from
-- a balloon above the telephone, its tail down towards the receiver, clear
-- of the keys, the register and the receiver on or off its hook.
local intercom = "CallBoxIntercom"
local people = {
    [intercom] = {x = 600, y = 62, voice = true, waits = true, balloon = "SE"},
}
local room = roomWithPeople("CallBox", people)
local lifted = false

local function say(self, id)
    local voice = characterNamed(self, intercom)
    if voice then
        voice:talk(id)
    end
end

local function hangUp(self)
    lifted = self:liftReceiver(false)
    self:clearDial(false)
    self:clearRegister(true)
end

-- The key under the point dials its digit; true when there was one.
local function dial(self, x, y)
    for k = 1, 9 do
        if self:sprite("CallBox" .. k):hittestAndEnabled(x, y) then
            self:addDigit(k)
            self:updateRegister()
            return true
        end
    end
    return false
end

local entered = room.onEnter
room.onEnter = function(self, n)
    entered(self, n)
    lifted = false
    self:liftReceiver(false)
    self:clearDial(false)
end

room.onClick = function(self, x, y)
    -- A click ends the intercom's speech and still does what it was for.
    characterClick(self, people, x, y)
    if not lifted then
        if not (self:sprite("ReceiverOnHookRect"):hittestAndEnabled(x, y)
            or self:sprite("CallBoxButtonsRect"):hittestAndEnabled(x, y)) then
            return
        end
        if self:getChapterNumber() == 2 and not LF.galleryRestored then
            say(self, "STR_CALLBOX_2")
            return
        end
        lifted = self:liftReceiver(true)
        self:clearDial(true)
        self:clearRegister(false)
        say(self, "STR_CALLBOX_1")
        -- A key that lifted the receiver dials its digit too.
        dial(self, x, y)
        return
    end
    if self:sprite("ReceiverOffHookRect"):hittestAndEnabled(x, y) then
        hangUp(self)
        return
    end
    if dial(self, x, y) then
        return
    end
    if self:sprite("CallBoxClear"):hittestAndEnabled(x, y) then
        self:clearRegister(true)
    elseif self:sprite("CallBoxEnter"):hittestAndEnabled(x, y) then
        self:testCombo(true)
        if self:isComboCorrect() then
            LF.callBoxSolved = true
            LF_updateTasks()
            self:clearDial(false)
            say(self, "STR_CALLBOX_3")
        else
            say(self, "STR_CALLBOX_4")
        end
    end
end

rooms["CallBox"] = room
