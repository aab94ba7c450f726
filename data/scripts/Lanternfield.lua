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
-- The items found so far and those the story took back, by name, and the
-- steps of the first chapter's errand.
LF.found = {}
LF.taken = {}
LF.story = {}
LF.ticTacRound = 0
LF.riversideLeverPulled = false
LF.jungleIdolFound = false
LF.bookshelfFixed = {}
LF.bookshelfSorted = false
LF.bookshelfDrawerOpen = false
LF.bookshelfMapTaken = false
LF.reverseISpyCount = 0
LF.paintingOrder = {0, 0, 0}
LF.paintingsSeen = 0
LF.paintingFixed = {false, false, false}
LF.galleryRestored = false
LF.compressorStage = nil
LF.callBoxSolved = false
LF.bridge = {match = 0, set = 0, index = 0}
LF.bridgeSolved = false
LF.caveMazeScreen = 22
LF.caveGoldenDoorFound = false
LF.caveGemsPlaced = {0, 0, 0, 0}
LF.caveMazePuzzleSolved = {false, false, false, false}
LF.caveGemTaken = {false, false, false, false}
LF.fountainValveOpen = false
LF.fountainDrained = false
LF.fountainPipeDoorOpen = false
LF.fountainPipesFixed = false
LF.hedgeMazeSolved = false
LF.circuitBoardSolved = false
LF.pegsOpen = false
LF.pegsSolved = {}
LF.inlayPuzzle = 1
LF.inlaySolved = {}
LF.gemTaken = {}
LF.pearlsWon = false
-- The second chapter's card game: won once, which brings its trophy; lost
-- once before that, which makes the card player play weak until it is won.
LF.concentrationWon = false
LF.concentrationLost = false
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

-- The tasks listed on the hint paper (by hint id) and the chapter whose
-- first room has set the chapter going.
LF.tasks = {}
LF.chapterBegun = 0

-- The rooms that show a story rather than a place to play.
local CUT_SCENES = {StoryIntro = true, VignetteIntro = true, Vignette = true, LevelComplete = true}

-- Every room's script notes the player's visits; the task paper goes down;
-- the last room's count of treasures goes away, unless a message waits for
-- this room. The first room
-- of a chapter sets the chapter going; the ways between the chapters are
-- set, and the tasks follow the story.
function LF_roomEntered(name, room)
    LF.visited[name] = true
    -- The player's thoughts stand beside the figure unless the room says.
    THOUGHT_PLACE = nil
    -- The task paper a player raised in the last room is down again here.
    inventory:lowerHintPaper()
    -- A message on arrival stands in its place from the first frame: one
    -- sliding in from past the window's edge is cut while the room is new.
    if LF.arrivalTip then
        inventory:setRoomItemTip(LF.arrivalTip, LF.arrivalNumber or -1, false)
        LF.arrivalTip = nil
        LF.arrivalNumber = nil
    else
        inventory:showRoomItemTip(false)
    end
    if not room or CUT_SCENES[name] then
        return
    end
    LF.chapter = room:getChapterNumber()
    LF_openWays(name, room)
    if LF.chapterBegun ~= LF.chapter then
        LF.chapterBegun = LF.chapter
        LF_beginChapter(LF.chapter)
    end
    LF_updateTasks()
end

-- A message for the player, shown in the room-item tip as the next room is
-- entered (a room left at once by the story would hide it); a number given
-- stands for its "%1".
function LF_tellOnArrival(id, n)
    LF.arrivalTip = id
    LF.arrivalNumber = n
end

-- The inventory's items by their Lua id 1 to 22, in the record's order; each
-- has a tool tip "STR_TIP_<name>".
LF_ITEMS = {
    "Amulet", "HiddenFlowerBouquet", "Pearls", "Cypher", "MansionGateCode", "ConcentrationTrophy",
    "Gem_1", "Gem_2", "Gem_3", "Gem_4", "CaveMapScroll", "Peg_1", "Peg_2", "Peg_3", "Machete",
    "ViewFinderSolution", "RiddleCoaster", "AmuletComplete", "Vase", "VaseWithWater", "Box", "AirTank",
}
function LF_getInventoryItemSpriteName(id)
    return LF_ITEMS[id] or ""
end
-- The gems go into the golden door in the third chapter and into the amulet
-- door's seal in the sixth; their tips say which. The mansion's card bears
-- its telephone number in the second chapter, the note of the fifth its
-- door's code.
function LF_getInventoryItemToolTipID(id)
    local name = LF_ITEMS[id]
    if name and name:sub(1, 4) == "Gem_" and (LF.chapter or 0) >= 6 then
        return "STR_TIP_" .. name .. "_SEAL"
    end
    if name == "MansionGateCode" and (LF.chapter or 0) >= 5 then
        return "STR_TIP_MansionGateCode_NOTE"
    end
    return name and ("STR_TIP_" .. name) or ""
end
-- No item leaves the bar, and no tip shows, during the global I-Spy game.
function LF_playingGlobalISpy()
    return LF.globalISpyActive == true
end

-- Items given and taken by the story. A given item glints into the bar.
function LF_giveItem(name)
    inventory:addItemToList(name)
    inventory:sparkleInSprite(name, "InventorySparkle")
    LF_updateTasks()
end
-- The mansion's numbers share one item, each its frame: the gallery
-- owner's card with the telephone number (0), the card shark's note with
-- the door's code (1).
function LF_giveMansionNumber(frame)
    inventory:sprite("MansionGateCode"):setFrame(frame)
    LF_giveItem("MansionGateCode")
end
function LF_takeItem(name)
    inventory:removeItemFromList(name)
    LF.taken[name] = true
    LF_updateTasks()
end
-- The items lying in the rooms: each is found once. Those the story never
-- asks for are the treasures, which the room's tip counts; the others (the
-- vase, the flowers, the gems, the pegs, the machete) only glint into the
-- bar.
LF_TREASURES = {Cypher = true, CaveMapScroll = true, RiddleCoaster = true, AirTank = true}
function LF_itemFound(name)
    return LF.found[name] == true
end
function LF_findItem(name)
    LF.found[name] = true
    LF_giveItem(name)
    if not LF_TREASURES[name] then
        return
    end
    local count = 0
    for found in pairs(LF.found) do
        if LF_TREASURES[found] then
            count = count + 1
        end
    end
    inventory:setRoomItemTip("STR_ITEMS_FOUND", count, true)
end

-- The hints are the text items "STR_HINT_<id>".
function LF_hintText(id)
    return "STR_HINT_" .. id
end
function LF_addHint(id)
    inventory:addHint(LF_hintText(id), id)
end
function LF_removeHint(id)
    inventory:removeHint(LF_hintText(id), id)
end
function LF_replaceHint(out, into)
    inventory:replaceHint(LF_hintText(out), LF_hintText(into), into, out)
end

-- The saved story is read back as data only: numbers, strings, booleans
-- and tables of them, seven tables deep below LF at most. What else the
-- story may hold (a function, a table holding itself, one nested deeper) is
-- left out, so that the text is always taken back whole; a table held in
-- several places is written in each.
local kSaveMaxDepth = 7
-- The most text the settings keep of a saved story.
local kSaveMaxLength = 1024 * 4096
-- A Lua function names at most 262,143 numbers and strings: a table that
-- names more than kInlineLiterals is built by functions that each name at
-- most kPieceLiterals.
local kInlineLiterals = 100000
local kPieceLiterals = 200000

-- Builds the table t by calling each of the functions after it with t.
local kFillText = [[
local function fill(t, ...)
    local parts = {...}
    for i = 1, #parts do
        parts[i](t)
    end
    return t
end
]]

-- A number as Lua text that gives the very same number back: 14 digits
-- when they do, else 17; the values without a numeral as expressions (-0
-- too: a numeral -0 would be taken for the text's numeral 0, or the other
-- way round).
local function numberText(n)
    if n ~= n then
        return "0/0"
    elseif n == 1 / 0 then
        return "1/0"
    elseif n == -1 / 0 then
        return "-1/0"
    elseif n == 0 and 1 / n < 0 then
        return "1/(-1/0)"
    end
    local text = string.format("%.14g", n)
    if tonumber(text) ~= n then
        text = string.format("%.17g", n)
    end
    return text
end

local kEscapes = {["\\"] = "\\\\", ['"'] = '\\"', ["\n"] = "\\n", ["\r"] = "\\r"}

-- A string as a quoted Lua string: a NUL byte as "\0", or "\000" before a
-- digit; other bytes but the quote, the backslash and the line ends as
-- they are.
local function stringText(s)
    s = s:gsub('[\\"\n\r]', kEscapes):gsub("%z(%d?)", function(digit)
        return digit == "" and "\\0" or "\\000" .. digit
    end)
    return '"' .. s .. '"'
end

-- Counts bytes of the text being written; a story whose text grows
-- beyond what the settings keep is not saved (the count leaves out the
-- line ends and the functions that build large tables).
local function grow(save, bytes)
    save.length = save.length + bytes
    if save.length > kSaveMaxLength then
        error("the story is longer than a save holds", 0)
    end
end

-- A number, string or boolean as Lua text, and how many numbers and
-- strings the text names (at most); nil for any other value.
local function scalarText(v, save)
    local kind = type(v)
    local text, literals
    if kind == "boolean" then
        text, literals = tostring(v), 0
    elseif kind == "number" then
        text, literals = numberText(v), 2
    elseif kind == "string" then
        text, literals = stringText(v), 1
    else
        return nil
    end
    grow(save, #text)
    return text, literals
end

-- Calls each(from, to) for runs of texts, in order, that name at most
-- kPieceLiterals numbers and strings together (literals[i] for texts[i]).
local function eachPiece(texts, literals, each)
    local from, count = 1, 0
    for i = 1, #texts do
        if count + literals[i] > kPieceLiterals and i > from then
            each(from, i - 1)
            from, count = i, 0
        end
        count = count + literals[i]
    end
    if #texts >= from then
        each(from, #texts)
    end
end

-- A table's list values and its entries "[key] = value" as functions of
-- the table t that put them in, each naming at most kPieceLiterals numbers
-- and strings.
local function piecesText(story)
    local pieces = {}
    eachPiece(story.items, story.itemLiterals, function(from, to)
        pieces[#pieces + 1] = "function(t)\nlocal p = {" .. table.concat(story.items, ", ", from, to) ..
                                  "}\nfor i = 1, #p do\nt[" .. (from - 1) .. " + i] = p[i]\nend\nend"
    end)
    eachPiece(story.entries, story.entryLiterals, function(from, to)
        pieces[#pieces + 1] = "function(t)\nt" .. table.concat(story.entries, "\nt", from, to) .. "\nend"
    end)
    return table.concat(pieces, ", ")
end

local valueText

-- What of the table v is saved: the values at 1, 2, ... up to the first
-- that is not (items, unless keyedOnly), then the other entries as
-- "[key] = value" in sorted order; with the numbers and strings each
-- names and their sum (literals).
local function storyOf(v, depth, save, keyedOnly)
    save.open[v] = true
    local story = {items = {}, itemLiterals = {}, entries = {}, entryLiterals = {}, literals = 0}
    local n = 0
    while not keyedOnly do
        local item = rawget(v, n + 1)
        local text, literals
        if item ~= nil then
            text, literals = valueText(item, depth, save)
        end
        if not text then
            break
        end
        grow(save, n > 0 and 2 or 0)
        n = n + 1
        story.items[n] = text
        story.itemLiterals[n] = literals
        story.literals = story.literals + literals
    end
    local literalsOf = {}
    for k, item in pairs(v) do
        local listed = type(k) == "number" and k >= 1 and k <= n and k % 1 == 0
        local key, keyLiterals
        if not listed then
            key, keyLiterals = scalarText(k, save)
        end
        local text, itemLiterals
        if key then
            text, itemLiterals = valueText(item, depth, save)
        end
        if text then
            grow(save, (n + #story.entries > 0) and 7 or 5)
            text = "[" .. key .. "] = " .. text
            story.entries[#story.entries + 1] = text
            literalsOf[text] = keyLiterals + itemLiterals
            story.literals = story.literals + keyLiterals + itemLiterals
        end
    end
    save.open[v] = nil
    table.sort(story.entries)
    for i, text in ipairs(story.entries) do
        story.entryLiterals[i] = literalsOf[text]
    end
    return story
end

-- A value as Lua text and how many numbers and strings the text names; nil
-- for one that is not saved. save.open holds the tables being written
-- around it.
function valueText(v, depth, save)
    if type(v) ~= "table" then
        return scalarText(v, save)
    elseif depth > kSaveMaxDepth or save.open[v] then
        return nil
    end
    grow(save, 2)
    local story = storyOf(v, depth + 1, save)
    if story.literals > kInlineLiterals then
        save.fills = true
        return "fill({}, " .. piecesText(story) .. ")", 0
    end
    local items = table.concat(story.items, ", ")
    local entries = table.concat(story.entries, ", ")
    local between = (items ~= "" and entries ~= "") and ", " or ""
    return "{" .. items .. between .. entries .. "}", story.literals
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

-- The story's state as Lua text that restores it when run: one line per
-- entry of LF, in sorted order; a story that names too many numbers and
-- strings for one function is built by several.
function LF_save()
    local save = {open = {}, length = 0, fills = false}
    local story = storyOf(LF, 1, save, true)
    local lines = {"LF = LF or {}"}
    if save.fills or story.literals > kPieceLiterals then
        lines[1] = lines[1] .. "\n" .. kFillText
    end
    if story.literals > kPieceLiterals then
        lines[2] = "fill(LF, " .. piecesText(story) .. ")"
    else
        for _, entry in ipairs(story.entries) do
            lines[#lines + 1] = "LF" .. entry
        end
    end
    return table.concat(lines, "\n") .. "\n"
end

-- The game asks for a change of music; the sample has no music of its own.
-- The game hands every change of music to the story: a chapter's tune, or
-- the menu's on the way back; it plays at once, looped.
function LF_replaceMusic(name)
    LF.music = name
    canvas:setBackgroundMusic(name)
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

-- The card game: the computer plays at its full strength, but after a game
-- the player lost it plays weak until the game is won, so that a newcomer
-- does not lose game after game to its memory.
function LF_dumbDownConcentrationAI()
    return LF.concentrationLost == true and not LF.concentrationWon
end

-- Noughts and crosses: the games won so far in this game.
function LF_getTicTacRoundNumber()
    return LF.ticTacRound
end
function LF_setTicTacRoundNumber(n)
    LF.ticTacRound = n
end

-- The bookshelf: which of its sixteen things are back on the shelves, how
-- many are left to find, and whether one hangs on the pointer.
function LF_isBookshelfItemFixed(n)
    if LF.bookshelfFixed[n] then
        return 1
    end
    return 0
end
function LF_fixedBookshelfItem(n)
    LF.bookshelfFixed[n] = true
end
function LF_setReverseISpyTip(count)
    LF.reverseISpyCount = count
end
function LF_setItemAttachedToCursor(n)
    LF.itemOnCursor = n ~= 0
end

-- The restoration: the first painting not mended yet is on the easel; the
-- paintings are numbered in the order the player first meets them.
function LF_getActivePainting()
    for p = 1, 3 do
        if not LF.paintingFixed[p] then
            return p
        end
    end
    return 3
end
function LF_getNumJigsawPaintingsSeen()
    return LF.paintingsSeen
end
function LF_setNumJigsawPaintingsSeen(n)
    LF.paintingsSeen = n
end
function LF_getJigsawPaintingOrder(p)
    return LF.paintingOrder[p] or 0
end
function LF_setJigsawPaintingOrder(p, order)
    LF.paintingOrder[p] = order
end
function LF_fixedAllPaintings()
    return LF.paintingFixed[1] and LF.paintingFixed[2] and LF.paintingFixed[3]
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
-- inlay puzzles behind the puzzle doors (below).
function LF_getCaveMazeCurrentScreen()
    return LF.caveMazeScreen
end
function LF_openedGemDoor()
    return LF.caveGemDoorOpened == true
end
function LF_isGemPlacedInDoor(g)
    return LF.caveGemsPlaced[g] or 0
end
-- The island's errand: the clock in the bookshelf set to the note's time,
-- the golden door opened by the four gems, and the bridge reached through
-- it (which clears the jungle's way east).
LF.clockSolved = false
LF.caveGemDoorOpened = false
LF.bridgeReached = false
-- The inner sanctum's board: the patterns lit so far, by pattern 1 to 4.
LF.innerSanctumPatterns = {}

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

-- A puzzle is solved: the sample counts the tasks done, and the task paper
-- names the next.
function LF_showTaskCompleted()
    LF.tasksCompleted = (LF.tasksCompleted or 0) + 1
    LF_updateTasks()
end

-- The treasure chest: three sliding-block boards a chapter; the board being
-- played, counted over all chapters; whether its locks are all open.
LF.slideBlockPuzzle = 0
LF.chestOpened = false
function LF_numTreasureChestPuzzles()
    return 3
end
function LF_getCurrentSlideBlockPuzzle()
    return LF.slideBlockPuzzle
end
function LF_setCurrentSlideBlockPuzzle(n)
    LF.slideBlockPuzzle = n
end

-- The safe in the study, and the temple door's two boards.
LF.safeOpened = false
LF.templeDoorBoard = 0
LF.templeDoorOpened = false
function LF_setWonSafeCrack(n)
    LF.safeOpened = n ~= 0
    LF_updateTasks()
end
-- Temple2's door onward shows its hand once the temple door is open.
function LF_solvedTempleDoorPuzzle2()
    return LF.templeDoorOpened
end

-- The last chapter, on the island: the lure keeper's lures laid on their
-- shadows (by lure name) and the game won, the amulet set into the inner
-- door's seal, the golden chest's locks opened (0 to 3).
LF.lurePlaced = {}
LF.luresWon = false
LF.amuletSet = false
LF.goldLocks = 0
-- Its start at the dock: the amulet of the first chapter and the four gems
-- of the cave come along.
function LF_startIslandChapter()
    for _, name in ipairs({"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}) do
        LF_giveItem(name)
    end
end
-- The fifth chapter's night: the board game won for the door's code, the
-- mansion's door opened by its keypad, the view finder turned to the study
-- key's hiding place, and the wind race won.
LF.ticTacSolved = false
LF.mansionDoorOpen = false
LF.viewFinderSolved = false
LF.windRaceWon = false
-- The fourth chapter: the outer sanctum's codes broken so far and whether
-- its way north is open, the vines before the village cut, and the pegs
-- set into the village's boards (by board 1 to 3).
LF.outerSanctumWins = 0
LF.outerSanctumSolved = false
LF.vinesCut = false
LF.pegSet = {}

-- The tasks of each chapter on the hint paper, the text items
-- "STR_HINT_<id>": a task is listed while its test answers true, so that at
-- every stage of a chapter the paper names what to do next, and a chapter's
-- tasks leave the paper with it.
local function has(item)
    return inventory:hasItem(item)
end
local function errandDone()
    return LF.taken.Box == true
end
-- Every one of the values is true (nil counts as not done).
local function all(...)
    for i = 1, select("#", ...) do
        if not select(i, ...) then
            return false
        end
    end
    return true
end
LF_TASKS = {
    -- The harbour town: the professor's errand, then the chest by the
    -- river and the fountain in the market, then the ferry.
    {
        {1, function() return not LF_itemFound("Vase") end},
        {2, function() return not LF_itemFound("HiddenFlowerBouquet") end},
        {3, function() return has("Vase") end},
        {4, function() return has("VaseWithWater") end},
        {5, function() return has("HiddenFlowerBouquet") end},
        {6, function() return has("Box") end},
        {8, function() return errandDone() and not LF.riversideLeverPulled end},
        {9, function() return errandDone() and LF.riversideLeverPulled and not LF.chestOpened end},
        {10, function() return errandDone() and not LF.fountainDrained end},
        {11, function() return errandDone() and LF.fountainDrained and not LF.fountainPipesFixed end},
        {12, function() return errandDone() and LF.fountainPipesFixed and not LF.fountainFixedWaterOn end},
        {13, function() return all(errandDone(), LF.chestOpened, LF.fountainFixedWaterOn) end},
    },
    -- The tavern square: the card game, the gallery and the mansion gate;
    -- the compressor and the dive; then the diving boat.
    {
        {21, function() return not LF.concentrationWon end},
        {22, function() return LF.concentrationWon and not LF.galleryRestored end},
        {23, function() return LF.galleryRestored and not LF.callBoxSolved end},
        {24, function() return LF.callBoxSolved and not LF.hedgeMazeSolved end},
        {25, function() return LF.compressorStage ~= "running" end},
        {26, function() return LF.compressorStage == "running" and not LF.pearlsWon end},
        {27, function()
            return all(LF.callBoxSolved, LF.hedgeMazeSolved, LF.compressorStage == "running", LF.pearlsWon)
        end},
    },
    -- The island's caves: the map from the bookshelf, the golden door, the
    -- bridge and the inner sanctum's board with its lantern. The board's
    -- task names the lantern too and stays to the chapter's end: its last
    -- pattern lights the lantern, which the player clicks at once (and is
    -- told of on the spot), so no new task comes just as the slides do.
    {
        {31, function() return not LF.bookshelfSorted end},
        {32, function() return LF.bookshelfSorted and not LF.clockSolved end},
        {33, function() return LF.clockSolved and not LF.bookshelfMapTaken end},
        {34, function() return LF.bookshelfMapTaken and not LF.caveGemDoorOpened end},
        {35, function() return LF.caveGemDoorOpened and not LF.bridgeSolved end},
        {36, function() return LF.bridgeSolved end},
    },
    -- The hidden village: the outer sanctum's codes, the machete for the
    -- vines, the three peg boards, then the canoe.
    {
        {41, function() return not LF.outerSanctumSolved end},
        {42, function() return LF.outerSanctumSolved and not LF.vinesCut and not has("Machete") end},
        {43, function() return has("Machete") end},
        {44, function() return LF.vinesCut and not all(LF.pegsSolved[1], LF.pegsSolved[2], LF.pegsSolved[3]) end},
        {45, function() return all(LF.pegsSolved[1], LF.pegsSolved[2], LF.pegsSolved[3]) end},
    },
    -- The night: the board game for the door's code, the keypad, the view
    -- finder, the study's key and its safe, the dive shop's wires, the wind
    -- race, the boat.
    {
        {51, function() return not LF.ticTacSolved and not LF.mansionDoorOpen end},
        {52, function() return LF.ticTacSolved and not LF.mansionDoorOpen end},
        {53, function() return LF.mansionDoorOpen and not LF.viewFinderSolved end},
        {54, function() return LF.viewFinderSolved and not LF.story.studyKeyTaken and not LF.safeOpened end},
        {58, function() return LF.story.studyKeyTaken and not LF.safeOpened end},
        {55, function() return LF.safeOpened and not LF.circuitBoardSolved end},
        {56, function() return LF.circuitBoardSolved and not LF.windRaceWon end},
        {57, function() return LF.windRaceWon end},
    },
    -- The golden temple: the way over, the lures, the temple door, the
    -- amulet door, the golden chest, then the last lantern in it.
    {
        {61, function() return not LF.visited["IslandLanding"] end},
        {62, function() return LF.visited["IslandLanding"] and not LF.luresWon end},
        {63, function() return LF.luresWon and not LF.templeDoorOpened end},
        {7, function() return LF.templeDoorOpened and not LF.amuletSet end},
        {64, function() return LF.amuletSet and LF.goldLocks < 3 end},
        {65, function() return LF.amuletSet and LF.goldLocks >= 3 end},
    },
}

-- The paper brought in line with the tasks of the chapter being played: a
-- task done makes way for the next (replaced, so that the new one counts as
-- new), others leave or join.
function LF_updateTasks()
    local wanted, joining, leaving = {}, {}, {}
    for _, task in ipairs(LF_TASKS[LF.chapter] or {}) do
        if task[2]() then
            wanted[task[1]] = true
            if not LF.tasks[task[1]] then
                joining[#joining + 1] = task[1]
            end
        end
    end
    for id in pairs(LF.tasks) do
        if not wanted[id] then
            leaving[#leaving + 1] = id
        end
    end
    table.sort(leaving)
    for i = 1, math.max(#joining, #leaving) do
        local into, out = joining[i], leaving[i]
        if into and out then
            LF_replaceHint(out, into)
        elseif into then
            LF_addHint(into)
        else
            LF_removeHint(out)
        end
        if out then
            LF.tasks[out] = nil
        end
        if into then
            LF.tasks[into] = true
        end
    end
end

-- A chapter's first room: no task of another chapter stays on the paper (a
-- game saved before the paper kept to its chapter may hold one), the items'
-- tips and the hand over what can be taken; the last chapter brings the
-- amulet and the gems along.
function LF_beginChapter(chapter)
    for _, tasks in ipairs(LF_TASKS) do
        for _, task in ipairs(tasks) do
            if not LF.tasks[task[1]] then
                LF_removeHint(task[1])
            end
        end
    end
    inventory:enableItems(true)
    if chapter == 6 then
        LF_startIslandChapter()
    end
end

-- The ways between the chapters' places: an exit listed here is open only
-- in the chapters named (an empty list: never), so that each chapter keeps
-- to its own rooms; the rooms' own scripts open and close their other ways
-- as the story goes. A way shut for good names on its box the place it
-- stops at (a pier, the beach), never the room of another chapter it
-- joins.
LF_WAYS = {
    Dock = {MarketPlace = {1}, ProfessorHouse = {1}, Riverside = {1}},
    MarketPlace = {Dock = {1}, FountainCU = {1}, TavernGallery = {2}},
    OldTownConnector = {KnickKnackStore = {1}, MansionGate = {2}},
    DiveDock = {LevelComplete = {}},
    Landing = {LevelComplete = {}},
    Bridge = {Jungle = {3}},
    TavernGallery_Night = {OuterVillage_3 = {}},
    IslandLanding = {WindRace = {}},
}
function LF_openWays(name, room)
    for target, chapters in pairs(LF_WAYS[name] or {}) do
        local open = false
        for _, c in ipairs(chapters) do
            open = open or c == LF.chapter
        end
        room:enableDoor(target, open)
    end
end
