-- CallBox.lua: the script of Call Box (room 22): the mansion's intercom
-- answers from the telephone.
rooms = rooms or {}
rooms["CallBox"] = roomWithPeople("CallBox", {
    CallBoxIntercom = {x = 300, y = 260, voice = true, balloon = "PHONE", "STR_CALLBOX_1", "STR_CALLBOX_2"},
})
