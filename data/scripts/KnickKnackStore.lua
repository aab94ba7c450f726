-- KnickKnackStore.lua: the script of Knick Knack Store (room 4): the empty
-- vase stands on the counter; taking it changes the task: now it needs water.
rooms = rooms or {}
rooms["KnickKnackStore"] = collectible(roomScript("KnickKnackStore"), "Vase", function(self)
    LF_replaceHint(1, 3)
end)
