-- MansionKeypad.lua: the script of Mansion Keypad (room 54), the keypad by
-- the mansion's door. The keys type digits into its display (four at most),
-- the clear key empties it and the enter key tries the code: in the fifth
-- chapter tonight's code is the one on the card shark's note (known, it
-- opens before his board game is won), and once it is typed the door to the
-- hallway stands open; a wrong one shows "WRONG" while the door is shut,
-- "OPEN" once it stands open.
-- The note dropped or a click beside the keys while it is held says that
-- its code is typed on the keys.
rooms = rooms or {}
local keypad = roomScript("MansionKeypad")

-- Tonight's code, as the card shark's note in the bar shows it (not the
-- mansion's telephone number on the gallery owner's card).
local CODE = "6358"
local typed = ""

local function showTyped(self, text)
    self:sprite("Display"):setText(text)
end

local enterKeypad = keypad.onEnter
keypad.onEnter = function(self, n)
    enterKeypad(self, n)
    for i = 0, 9 do
        self:sprite("Button_" .. i):enable(true)
    end
    self:sprite("ClearButton"):enable(true)
    self:sprite("EnterButton"):enable(true)
    for i = 0, 9 do
        self:sprite("Label_" .. i):setText(tostring(i))
    end
    self:sprite("Label_Clear"):setText("C")
    self:sprite("Label_Enter"):setText("OK")
    typed = ""
    showTyped(self, LF.mansionDoorOpen and "OPEN" or "----")
end

-- The code opens the door whether or not the card shark has given its note
-- yet: a player who plays the chapter again may know it already.
local function codeAccepted()
    return typed == CODE
end

keypad.onClick = function(self, x, y)
    for i = 0, 9 do
        if self:sprite("Button_" .. i):hittestAndEnabled(x, y) then
            if #typed < #CODE then
                typed = typed .. i
            end
            showTyped(self, typed)
            return
        end
    end
    if self:sprite("ClearButton"):hittestAndEnabled(x, y) then
        typed = ""
        showTyped(self, "----")
    elseif self:sprite("EnterButton"):hittestAndEnabled(x, y) then
        if LF.mansionDoorOpen then
            -- The door stands open whatever is typed now: the display says so.
            showTyped(self, "OPEN")
        elseif codeAccepted() then
            LF.mansionDoorOpen = true
            LF_updateTasks()
            canvas:playSound(SOUNDS.chime)
            showTyped(self, "OPEN")
        else
            -- A wrong code says so on the display until the next key.
            showTyped(self, "WRONG")
        end
        typed = ""
    elseif LF.ticTacSolved and not LF.mansionDoorOpen then
        think("STR_THINK_KEYPAD_NOTE")
    end
end
rooms["MansionKeypad"] = keypad
