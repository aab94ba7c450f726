-- OuterSanctum.lua: the script of Outer Sanctum (room 35).
hv = hv or {}
hv.OuterSanctum = hv.OuterSanctum or {}
rooms = rooms or {}
rooms["OuterSanctum"] = roomScript("OuterSanctum")

-- The code puzzle: paint the row with four of the eight kinds, pull the
-- lever, read the marks (green: right place, yellow: elsewhere in the code,
-- grey: absent). Each solved code leaves one try fewer for the next. When a
-- code's rows run out, its last row stands listed with the others and the
-- code itself in the row; when the first code is broken, its winning row
-- stands listed. Either stays until the player's next click turns the
-- stones over to a new code. The lever of a row not yet full, and an empty
-- place clicked with no colour picked, say what comes first.
function LF_solvedOuterSanctumPuzzle()
    return LF.outerSanctumSolved == true
end
function LF_getOuterSanctumPuzzleNumWins()
    return LF.outerSanctumWins or 0
end

local sanctum = rooms["OuterSanctum"]

-- The codes to break, the rows a code allows before the first is won, and
-- the rows of the list on the left.
local CODES = 2
local ROWS = 7
local LISTED_ROWS = 7
-- The rows judged on the code under way; the code shows, its rows run out;
-- the first code is broken, its row listed until the next click.
local rowsTried = 0
local codeShown = false
local codeBroken = false

local function text(id, ...)
    local line = hv.getResourceString(id)
    for i, value in ipairs({...}) do
        line = line:gsub("%%" .. i, tostring(value))
    end
    return line
end

-- The line over the row: which code, which row of how many.
local function showStatus(self)
    local wins = LF.outerSanctumWins or 0
    local status = self:sprite("Status")
    if LF.outerSanctumSolved then
        status:setText(text("STR_SANCTUM_OPEN"))
    elseif codeShown then
        status:setText(text("STR_SANCTUM_CODE_SHOWN"))
    elseif codeBroken then
        status:setText(text("STR_SANCTUM_CODE_BROKEN", wins, wins + 1))
    else
        status:setText(text("STR_SANCTUM_STATUS", wins + 1, CODES, rowsTried + 1, ROWS - wins))
    end
end

-- The judged row goes into the list on the left with its marks, so that
-- the player can read every row tried on this code.
local function listRow(self)
    if rowsTried > LISTED_ROWS then
        return
    end
    for i = 0, 3 do
        local kind = self:sprite("RowPiece_" .. rowsTried .. "_" .. i)
        kind:setFrame(self:sprite("RowPiece_0_" .. i):getFrame())
        kind:setAlphaBalance(1.0)
        kind:show(true)
        local mark = self:sprite("Results_" .. rowsTried .. "_" .. i)
        mark:setFrame(self:sprite("Results_0_" .. i):getFrame())
        mark:setAlphaBalance(1.0)
        mark:show(true)
    end
end

-- A new code: the rows and their list fade away.
local function newCode(self)
    rowsTried = 0
    codeShown = false
    codeBroken = false
    self:setupPuzzle()
    showStatus(self)
end

-- The code whose rows ran out stands in the row, every mark green.
local function showCode(self)
    local code = {self:code()}
    codeShown = true
    for i = 0, 3 do
        local kind = self:sprite("RowPiece_0_" .. i)
        kind:setFrame(code[i + 1])
        kind:setAlphaBalance(1.0)
        kind:show(true)
        local mark = self:sprite("Results_0_" .. i)
        mark:setFrame(1)
        mark:setAlphaBalance(1.0)
        mark:show(true)
    end
    showStatus(self)
end

-- A stone slab seals the way north to the volcano until both codes are
-- broken; a click on it says so. The row's empty places go with it.
local function showWayNorth(self)
    self:sprite("Seal"):show(not LF.outerSanctumSolved)
    self:enableDoor("Volcano", LF.outerSanctumSolved)
    for i = 0, 3 do
        self:sprite("RowSlot_" .. i):show(not LF.outerSanctumSolved)
    end
end
-- The shown code or the broken one's row goes at the next click, which
-- turns the stones over.
-- Once both codes are broken, a click on a colour or on the lever says so.
sanctum.onClick = function(self, x, y)
    if LF.outerSanctumSolved then
        local spots = {"LeverClickRect", "Lever"}
        for i = 0, 7 do
            spots[#spots + 1] = "PieceChoice_" .. i
        end
        for _, name in ipairs(spots) do
            local spot = self:sprite(name)
            if spot and spot:visible() and spot:hittest(x, y) then
                think("STR_THINK_SANCTUM_DONE")
                return
            end
        end
    elseif codeShown or codeBroken then
        newCode(self)
    end
end
clickingSpot(sanctum, "Seal", function(self)
    think("STR_THINK_SEAL")
end)

local enterSanctum = sanctum.onEnter
sanctum.onEnter = function(self, n)
    enterSanctum(self, n)
    rowsTried = 0
    codeShown = false
    codeBroken = false
    for i = 0, 3 do
        self:sprite("RowPiece_0_" .. i):show(false)
    end
    self:setAllowClicks(not LF.outerSanctumSolved)
    showWayNorth(self)
    showStatus(self)
end
sanctum.pullLever = function(self, n)
end
sanctum.paintAgain = function(self, n)
    think("STR_THINK_SANCTUM_ONCE")
end
sanctum.rowNotFull = function(self, n)
    think("STR_THINK_SANCTUM_FILL")
end
sanctum.pickFirst = function(self, n)
    think("STR_THINK_SANCTUM_PICK")
end
sanctum.showResults = function(self, outOfTries, tries, solved)
    -- The judged row moves into the list and the row is emptied: the lever
    -- waits for the next full row, so no try goes on an empty one.
    rowsTried = rowsTried + 1
    listRow(self)
    self:sprite("LeverClickRect"):enable(false)
    self:sprite("Lever"):setFrame(0)
    for i = 0, 3 do
        self:sprite("RowPiece_0_" .. i):show(false)
        self:sprite("Results_0_" .. i):show(false)
    end
    if solved == 1 then
        LF.outerSanctumWins = (LF.outerSanctumWins or 0) + 1
        if LF.outerSanctumWins >= CODES then
            LF.outerSanctumSolved = true
            LF_updateTasks()
            self:setAllowClicks(false)
            showWayNorth(self)
            showStatus(self)
            canvas:playSound(SOUNDS.chime)
            think("STR_THINK_SANCTUM_OPEN")
        else
            -- The winning row stays listed until the next click.
            codeBroken = true
            showStatus(self)
            think("STR_THINK_SANCTUM_FIRST")
        end
    elseif outOfTries == 1 then
        -- Out of tries: the code shows until the next click.
        think("STR_THINK_SANCTUM_NEW_CODE")
        showCode(self)
    else
        showStatus(self)
    end
end
