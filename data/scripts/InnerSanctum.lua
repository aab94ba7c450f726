-- InnerSanctum.lua: the script of Inner Sanctum (room 33).
hv = hv or {}
hv.InnerSanctum = hv.InnerSanctum or {}
rooms = rooms or {}
rooms["InnerSanctum"] = roomScript("InnerSanctum")

-- The board answers in the third chapter: light the stones in each of the
-- four patterns of the plans (the frame, the cross, the plus, the ring).
local function patterns()
    LF.innerSanctumPatterns = LF.innerSanctumPatterns or {}
    return LF.innerSanctumPatterns
end

function LF_isInnerSanctumPatternSolved(n)
    return patterns()[n] and 1 or 0
end
function LF_solvedAllInnerSanctumPatterns()
    for n = 1, 4 do
        if not patterns()[n] then
            return false
        end
    end
    return true
end

local inner = rooms["InnerSanctum"]
inner.onWinPattern = function(self, n)
    patterns()[n] = true
end
inner.dropTorch = function(self, n)
    canvas:dropSpecialCursor()
end
