// DefinitionNumbers.cpp: bounds-checked reads of a room's definition numbers.
#include "scenes/common/DefinitionNumbers.h"

#include "game/rooms/Room.h"
#include "windowing/window/DebugLine.h"

DefinitionNumbers::DefinitionNumbers(Room* room) : m_pRoom(room), m_bReported(false) {}

int DefinitionNumbers::count() const
{
    return m_pRoom->getDefinitionInts().length();
}

int DefinitionNumbers::at(int i)
{
    const lang::IntArray& numbers = m_pRoom->getDefinitionInts();
    if (i >= 0 && i < numbers.length())
        return numbers[i];
    if (!m_bReported) {
        m_bReported = true;
        window::debugLine(m_pRoom->getName().c_str(), ": the definition holds ", numbers.length(),
                          " numbers, number ", i, " reads as 0\n");
    }
    return 0;
}
