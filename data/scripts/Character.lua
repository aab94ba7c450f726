-- Character.lua: the Lua class of every character (hv.Character), and what
-- the room scripts do with the people in their rooms: place them as the room
-- is entered, talk with them on a click, let the player think and the
-- tutorial's guide give advice.
hv = hv or {}
hv.Character = hv.Character or {}

-- The character of that name: standing in the room, or on the canvas.
function characterNamed(room, name)
    return room:sprite(name) or canvas:sprite(name)
end

-- The player thinks the text item: the figure is posed, shown at its place,
-- and the thought ends by itself. In a room with a place of its own for
-- thoughts the balloon and its words stand there, without the bubbles that
-- would trail from it to the figure's head.
function think(id)
    local player = canvas:sprite("PlayerCharacter")
    if player then
        player:setIdle(true)
        player:talk(id)
        local balloon = canvas:sprite("ThoughtBalloon")
        local place = THOUGHT_PLACE
        if place and balloon then
            local dx, dy = place[1] - balloon:left(), place[2] - balloon:top()
            balloon:movePosition(dx, dy)
            canvas:sprite("ThoughtText"):movePosition(dx, dy)
            canvas:sprite("ThoughtBalloonTail"):show(false)
        end
    end
end

-- The player's figure, left standing by a thought, goes with its thought:
-- a close-up opening over the room would have it stand over the panel's
-- edge.
function hidePlayer()
    local player = canvas:sprite("PlayerCharacter")
    if player then
        player:stopTalk()
        player:show(false)
    end
end

-- The tutorial's guide appears and gives the advice of the text item; a
-- click on him while he stands silent gives it again.
local guideAdvice = nil
function guide(id)
    local g = canvas:sprite("TutorialCharacter")
    if g then
        guideAdvice = id
        g:setIdle(true)
        g:show(true)
        g:talk(id)
    end
end
-- (The guide takes no clicks of his own: his figure's box is what counts.)
local function adviseAgain(x, y)
    local g = canvas:sprite("TutorialCharacter")
    if not guideAdvice or not g or not g:visible() then
        return false
    end
    if x < g:left() or x >= g:right() or y < g:top() or y >= g:bottom() then
        return false
    end
    g:talk(guideAdvice)
    return true
end

-- The guide stops talking and stays where he stands; true when he was
-- talking.
function hushGuide()
    local g = canvas:sprite("TutorialCharacter")
    if not g or not g:visible() or not g:isTalking() then
        return false
    end
    g:stopTalk()
    return true
end

-- The guide stops and goes, as the player leaves his room; true when it
-- was talking.
function dismissGuide()
    local g = canvas:sprite("TutorialCharacter")
    if not g or not g:visible() then
        return false
    end
    local talking = g:isTalking()
    g:stopTalk()
    g:show(false)
    return talking
end

-- The next line of a person: its lines in turn, round again after the last.
-- A line given as a function names the text that fits the story now.
local function nextLine(person)
    person.next = (person.next or 0) % #person + 1
    local line = person[person.next]
    if type(line) == "function" then
        return line()
    end
    return line
end

-- A click at (x, y) for the people of the room: ends the speeches that run
-- (the speakers leave their conversation pose; as the people share one
-- balloon, all who report talking are stopped), or starts the next line of
-- the figure clicked in its conversation pose. True when it went to someone.
function characterClick(room, people, x, y)
    local stopped = hushGuide()
    if not stopped and adviseAgain(x, y) then
        return true
    end
    for name, person in pairs(people) do
        local c = characterNamed(room, name)
        if c and c:isTalking() then
            c:stopTalk()
            c:setConversation(false)
            if person.after and person.next == #person then
                c:setState(person.after)
            end
            stopped = true
        end
    end
    if stopped then
        return true
    end
    for name, person in pairs(people) do
        local c = characterNamed(room, name)
        if c and not person.voice and c:hittest(x, y) then
            c:showTalkToMeButton(false)
            c:setConversation(true)
            c:talk(nextLine(person))
            return true
        end
    end
    return false
end

-- The script of a room where people stand. `people` gives, by name, where
-- each stands (x, y: the point on its forehead
-- that the balloon points at) and its lines (text ids);
-- `state` a mood to stand in, `after` a mood to take after its last line. A
-- voice (voice = true) has no figure: it speaks its next line from a
-- balloon fixed at (x, y) with the tail `balloon` as the room is entered;
-- a voice that `waits` speaks only when its room's script makes it.
-- A figure that stands by a way out may speak from a balloon fixed beside
-- its face: `speaksFrom` = {x, y, tail}.
-- `thought` is a text item the player thinks on the first visit.
function roomWithPeople(name, people, thought)
    local room = roomScript(name)
    local entered = room.onEnter
    room.onEnter = function(self, n)
        local first = not LF.visited[name]
        entered(self, n)
        for who, person in pairs(people) do
            self:addCharacter(who, "", person.x, person.y, true, not person.voice, true)
            local c = characterNamed(self, who)
            if person.state then
                c:setState(person.state)
                c:setIdle(true)
            end
            if person.voice then
                c:setFixedTalkBalloonPosition(true, person.x, person.y, person.balloon or "NW")
                if not person.waits then
                    c:talk(nextLine(person))
                end
            else
                if person.speaksFrom then
                    local at = person.speaksFrom
                    c:setFixedTalkBalloonPosition(true, at[1], at[2], at[3])
                end
                c:talkToMeButtonEnter()
            end
        end
        -- A room dimmed under a close-up (the pegs, the safe) dims its people
        -- with the rest of it: the dimming stays drawn over them.
        if self:sprite("DimOverlay") then
            self:addSpriteToTop("DimOverlay")
        end
        if first and thought then
            think(thought)
        end
    end
    room.onClick = function(self, x, y)
        characterClick(self, people, x, y)
    end
    return room
end
