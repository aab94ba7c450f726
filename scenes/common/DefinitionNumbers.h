// DefinitionNumbers.h: the numbers of a room's data definition read with a
// bounds check: a definition shorter than its room needs reads the missing
// numbers as 0, and the shortfall is reported once, naming the room.
#pragma once

class Room;

class DefinitionNumbers {
public:
    // The room's numbers (a copy is not taken: the room outlives the reader).
    explicit DefinitionNumbers(Room* room);

    // Number i (0 is the exit count); 0 when the definition holds no number i.
    int at(int i);
    // How many numbers the definition holds.
    int count() const;

private:
    Room* m_pRoom;
    bool m_bReported;
};
