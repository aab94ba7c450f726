-- MansionKeypad.lua: the script of Mansion Keypad (room 54).
rooms = rooms or {}
rooms["MansionKeypad"] = roomScript("MansionKeypad")
