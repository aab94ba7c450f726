-- Character.lua: the Lua class of every character (hv.Character), and the
-- conversations of the room scripts: a click on a character starts its next
-- line, a click elsewhere ends the speech.
hv = hv or {}
hv.Character = hv.Character or {}

-- The character of that name: standing in the room, or on the canvas.
function characterNamed(room, name)
    return room:sprite(name) or canvas:sprite(name)
end

-- Handles a click at (x, y) in the room for the characters listed in
-- `talks` (name -> list of text ids): a click on one that is not talking
-- starts its next line in its conversation pose; any other click ends a
-- speech that runs. True when the click went to a character.
function characterClick(room, talks, x, y)
    for name, lines in pairs(talks) do
        local c = characterNamed(room, name)
        if c and c:isTalking() then
            c:stopTalk()
            c:setConversation(false)
            return true
        end
    end
    for name, lines in pairs(talks) do
        local c = characterNamed(room, name)
        if c and c:hittest(x, y) then
            lines.next = ((lines.next or 0) % #lines) + 1
            c:setConversation(true)
            c:talk(lines[lines.next])
            return true
        end
    end
    return false
end
