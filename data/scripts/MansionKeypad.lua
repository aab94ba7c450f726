-- MansionKeypad.lua: the script of Mansion Keypad (room 54).
rooms = rooms or {}
rooms["MansionKeypad"] = roomScript("MansionKeypad")

-- The keys light while they are pressed; the door opens with its code.
local keypad = rooms["MansionKeypad"]
local enterKeypad = keypad.onEnter
keypad.onEnter = function(self, n)
    enterKeypad(self, n)
    for i = 0, 9 do
        self:sprite("Button_" .. i):enable(true)
    end
    self:sprite("ClearButton"):enable(true)
    self:sprite("EnterButton"):enable(true)
end
