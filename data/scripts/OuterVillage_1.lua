-- OuterVillage_1.lua: the script of Outer Village 1 (room 40), where the
-- elder greets strangers.
rooms = rooms or {}
rooms["OuterVillage_1"] = roomWithPeople("OuterVillage_1", {
    TribalElder = {x = 600, y = 282, "STR_TRIBALELDER_1", "STR_TRIBALELDER_2"},
})
