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
LF.callBoxSolved = false
LF.bridge = {match = 0, set = 0, index = 0}
LF.bridgeSolved = false
LF.caveMazeScreen = 7
LF.caveGoldenDoorFound = false
LF.caveGemsPlaced = {0, 0, 0, 0}
LF.caveMazePuzzleSolved = {false, false, false, false}
LF.caveGemTaken = {false, false, false, false}

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

-- The bridge's memory game: the rounds finished in all, the sets finished,
-- and the rounds finished in the set under way.
function LF_getBridgeCurrentMatch()
    return LF.bridge.match
end
function LF_setBridgeCurrentMatch(n)
    LF.bridge.match = n
end
function LF_getBridgeCurrentSet()
    return LF.bridge.set
end
function LF_setBridgeCurrentSet(n)
    LF.bridge.set = n
end
function LF_getBridgeCurrentSetIndex()
    return LF.bridge.index
end
function LF_setBridgeCurrentSetIndex(n)
    LF.bridge.index = n
end

-- The cave maze: the chamber to show, the golden door and its gems, and the
-- inlay puzzles behind the puzzle doors (1 to 4).
function LF_getCaveMazeCurrentScreen()
    return LF.caveMazeScreen
end
function LF_openedGemDoor()
    return false
end
function LF_isGemPlacedInDoor(g)
    return LF.caveGemsPlaced[g] or 0
end
for p = 1, 4 do
    _G["LF_solvedCaveMazePuzzle_" .. p] = function()
        return LF.caveMazePuzzleSolved[p]
    end
    _G["LF_gemTakenFromInlay_" .. p] = function()
        return LF.caveGemTaken[p]
    end
end
