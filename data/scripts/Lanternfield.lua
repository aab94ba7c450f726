-- Lanternfield.lua: the story's own state, kept in the table LF, and the
-- global LF_ functions through which the game reads and changes it. It runs
-- after the rooms' scripts and again whenever the world is reset for a new
-- game; the flags of the chapters' cut scenes survive a reset.
LF = LF or {}
LF.vignetteSeen = LF.vignetteSeen or {0, 0, 0, 0, 0, 0}
LF.globalISpyActive = false
LF.fountainFixedWaterOn = false
LF.visited = {}
LF.ticTacRound = 0
LF.riversideLeverPulled = false
LF.jungleIdolFound = false
-- The mini-games whose instructions the player has seen, by game number + 1.
LF.instructionsSeen = {}

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

-- The story's state as Lua text that restores it when run.
function LF_save()
    local seen = {}
    for i = 1, 6 do
        seen[i] = tostring(LF.vignetteSeen[i] or 0)
    end
    return "LF = LF or {}\nLF.vignetteSeen = {" .. table.concat(seen, ", ") .. "}\n"
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

-- The mini-games' instructions open by themselves until they have been seen.
function LF_getShowGameInstructions(n)
    return not LF.instructionsSeen[n]
end
function LF_setShowGameInstructions(n)
    LF.instructionsSeen[n] = nil
end
function LF_clearShowGameInstructions(n)
    LF.instructionsSeen[n] = true
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
