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
LF.pegsOpen = false
LF.pegsSolved = {}
LF.inlayPuzzle = 1
LF.inlaySolved = {}
LF.gemTaken = {}
LF.pearlsWon = false

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

-- The inlays of the cave: the puzzle played, and per puzzle 1 to 4 whether
-- it is solved and its gem taken.
function LF_setCurrentInlayPuzzle(p)
    LF.inlayPuzzle = p
end
for p = 1, 4 do
    _G["LF_solvedCaveMazePuzzle_" .. p] = function()
        return LF.inlaySolved[p] == true
    end
    _G["LF_gemTakenFromInlay_" .. p] = function()
        return LF.gemTaken[p] == true
    end
end

-- A mini-game's task is done; the sample shows no notice for it.
function LF_showTaskCompleted()
end
