-- Sample.lua: the sample's behaviour, run once the data is loaded: the cloud
-- drifts, the bell rings and makes the lantern jump, the lantern shows and
-- hides the panel.

local cloud = canvas:sprite("Cloud")
local lantern = canvas:sprite("Lantern")
local panel = canvas:sprite("Panel")

-- One pixel every second frame, round again past the right edge.
function canvas:nextFrame(frame)
    if cloud and frame % 2 == 0 then
        local x = cloud:x() + 1
        if x > 800 then
            x = -cloud:width()
        end
        cloud:setPosition(x, cloud:y())
    end
end
canvas:setHasLuaAnimations(true)

-- The commands of the buttons.
function onCommand(command)
    if command == "Ring" then
        canvas:playSound(0)
        if lantern then
            lantern:setScale(1.25)
            lantern:setScaleDestination(1.0, 12)
        end
    elseif command == "LanternHit" and panel then
        panel:show(not panel:visible())
    end
end
