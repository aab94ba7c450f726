-- ProfessorHouse.lua: the script of Professor House (room 1), where the
-- professor receives visitors; he takes the vase of water and the flowers
-- (asking for the other after the first), and gives a box for the dock.
hv = hv or {}
hv.ProfessorHouse = hv.ProfessorHouse or {}

-- This file also makes the class hv.ProfessorHouse, when the room is built
-- and before the characters' helpers are loaded; the room's table is made
-- when the room scripts run.
if roomWithPeople then
    rooms = rooms or {}
    -- He stands with his feet above the new-task banner over the task paper.
    rooms["ProfessorHouse"] = roomWithPeople("ProfessorHouse", {
        Professor = {x = 520, y = 276, "STR_PROFESSOR_1", "STR_PROFESSOR_2", "STR_PROFESSOR_3"},
    })

    local wanted = {VaseWithWater = true, HiddenFlowerBouquet = true}

    -- Anything else he has no use for, and the player says so.
    local use = rooms["ProfessorHouse"].onUse
    rooms["ProfessorHouse"].onUse = function(self, x, y)
        local item = canvas:getItemOnCursor()
        if not wanted[item] then
            use(self, x, y)
            return
        end
        canvas:dropSpecialCursor()
        LF_takeItem(item)
        local professor = characterNamed(self, "Professor")
        if LF.taken.VaseWithWater and LF.taken.HiddenFlowerBouquet then
            -- His word on the first, still standing, ends with the errand.
            if professor:isTalking() then
                professor:stopTalk()
                professor:setConversation(false)
            end
            LF_giveItem("Box")
            inventory:setRoomItemTip("STR_PROFESSOR_THANKS", -1, true)
            return
        end
        -- The first of the two: the professor says what the other is for.
        professor:showTalkToMeButton(false)
        professor:setConversation(true)
        professor:talk(item == "VaseWithWater" and "STR_PROFESSOR_VASE" or "STR_PROFESSOR_FLOWERS")
    end

    -- The hidden flowers: a click on one makes it burst into petals.
    local house = rooms["ProfessorHouse"]
    local clickHouse = house.onClick
    house.onClick = function(self, x, y)
        for n = 1, 3 do
            local flower = self:sprite("HiddenFlower_" .. n)
            if flower and flower:visible() and flower:hittest(x, y) then
                self:clickOnHiddenFlower(n)
                return
            end
        end
        clickHouse(self, x, y)
    end
end
