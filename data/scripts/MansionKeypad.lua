-- MansionKeypad.lua: the script of Mansion Keypad (room 54).
rooms = rooms or {}

rooms["MansionKeypad"] = {
    onEnter = function(self, n)
        LF_roomEntered("MansionKeypad")
    end,
    onExit = function(self, n)
    end,
    onClick = function(self, x, y)
    end,
    onUse = function(self, x, y)
    end,
    resetGlobalItems = function(self, n)
    end,
}
