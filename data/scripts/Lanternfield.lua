-- Lanternfield.lua: the story's own state, kept in the table LF, and the
-- global LF_ functions through which the game reads and changes it. It runs
-- after the rooms' scripts and again whenever the world is reset for a new
-- game; the flags of the chapters' cut scenes survive a reset. A profile's
-- saved state (the text LF_save returns) runs after it when a game is
-- continued.
LF = LF or {}
LF.vignetteSeen = LF.vignetteSeen or {0, 0, 0, 0, 0, 0}
LF.globalISpyActive = false
LF.fountainFixedWaterOn = false
LF.visited = {}
LF.ticTacRound = 0
LF.riversideLeverPulled = false
LF.jungleIdolFound = false
-- Per mini-game (numbered from 1): its instructions still open by themselves.
LF.showIns = {}

-- The chapters' cut scenes, by chapter 1 to 6.
function LF_getVignetteSeen(n)
    return LF.vignetteSeen[n] or 0
end
function LF_setVignetteSeen(n)
    LF.vignetteSeen[n] = 1
end
function LF_setVignetteNotSeen(n)
    LF.vignetteSeen[n] = 0
end

-- Every room's script notes the player's visits.
function LF_roomEntered(name)
    LF.visited[name] = true
end

-- The mini-games' instructions panels.
function LF_getShowGameInstructions(n)
    return LF.showIns[n] ~= false
end
function LF_setShowGameInstructions(n)
    LF.showIns[n] = true
end
function LF_clearShowGameInstructions(n)
    LF.showIns[n] = false
end

-- The sample has no I-Spy lists and no task banners yet.
function LF_playingGlobalISpy()
    return false
end
function LF_showTaskCompleted()
end

-- A sorted list of the keys of a table whose values are true or false, as
-- Lua text of the table.
local function flagTable(flags)
    local keys = {}
    for k in pairs(flags) do
        keys[#keys + 1] = k
    end
    table.sort(keys, function(a, b) return tostring(a) < tostring(b) end)
    local parts = {}
    for _, k in ipairs(keys) do
        parts[#parts + 1] = "[" .. string.format("%q", k) .. "] = " .. tostring(flags[k] and true or false)
    end
    return "{" .. table.concat(parts, ", ") .. "}"
end

-- The story's state as Lua text that restores it when run.
function LF_save()
    local seen = {}
    for i = 1, 6 do
        seen[i] = tostring(LF.vignetteSeen[i] or 0)
    end
    return "LF = LF or {}\n" ..
        "LF.vignetteSeen = {" .. table.concat(seen, ", ") .. "}\n" ..
        "LF.visited = " .. flagTable(LF.visited) .. "\n" ..
        "LF.showIns = " .. flagTable(LF.showIns) .. "\n" ..
        "LF.riversideLeverPulled = " .. tostring(LF.riversideLeverPulled and true or false) .. "\n" ..
        "LF.jungleIdolFound = " .. tostring(LF.jungleIdolFound and true or false) .. "\n"
end

-- The game asks for a change of music; the sample has no music of its own.
function LF_replaceMusic(name)
    LF.music = name
end

function LF_cleanupGlobalISpy()
end
function LF_setGlobalISpyActive(n)
    LF.globalISpyActive = n ~= 0
end
function LF_blackBarsShow(n)
end
function LF_clearPreviousAmbientSound()
end

-- The card game: the computer plays at its full strength.
function LF_dumbDownConcentrationAI()
    return false
end

-- Noughts and crosses: the games won so far in this game.
function LF_getTicTacRoundNumber()
    return LF.ticTacRound
end
function LF_setTicTacRoundNumber(n)
    LF.ticTacRound = n
end
