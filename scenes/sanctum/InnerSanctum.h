// InnerSanctum.h: the inner sanctum's toggle puzzle (room 33): a 5 x 5 board
// of two-state pieces toggled by clicking or by dragging across them.
// Whenever the board equals one of four target patterns the script has not
// marked solved yet, the room tells the script. The board answers only in
// chapter 3 and until all four patterns are solved. The room also hosts the
// script's torch errand: with the club torch on the cursor, a click off the
// torch and the plans makes the script drop it.
#pragma once

#include "game/rooms/Room.h"

class InnerSanctum : public Room {
public:
    static constexpr int PIECES = 25;
    static constexpr int PATTERNS = 4;
    // The definition's numbers: the door count, then the patterns' frames
    // (piece i of pattern p at 1 + i + 25p).
    static constexpr int DEFINITION_NUMBERS = 1 + PIECES * PATTERNS;
    // The board answers in this chapter only.
    static constexpr int CHAPTER = 3;
    // The canvas's cursor while the club torch is carried.
    static constexpr int CURSOR_CLUB_TORCH = 41;
    // Sounds: a piece turned on (frame 0 to 1), turned off.
    static constexpr int SOUND_ON = 162;
    static constexpr int SOUND_OFF = 163;
    static const char kScriptTable[];

    // A piece: its two-frame sprite (frame = state) and its state in each
    // pattern (-1 where the definition gives none: never matched).
    struct BoardPiece {
        sprite::SpriteBase* sprite = nullptr;
        int target[PATTERNS] = {-1, -1, -1, -1};
    };

    // Binds the room to hv.InnerSanctum.
    InnerSanctum();

    HV_CLASS_NAME("InnerSanctum", Room)
    HV_DECLARE_METACLASS(InnerSanctum);

    // The room's definition, then the pieces and their patterns.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The torch errand, or a press on the board (toggling the piece).
    int mouseDown(window::Event* e) override;
    // Dragging toggles the pieces passed over; the door's cursor.
    bool mouseMove(window::Event* e) override;
    // The release toggles the piece under it unless it was toggled last.
    int mouseUp(window::Event* e) override;
    // The room's entering; the drop request is forgotten.
    void onEnter() override;

    // Toggles the first piece at the point (room frame) that is not the one
    // toggled last, and reports a newly matched pattern.
    void togglePiece(int x, int y);
    // The first pattern (0..3) the board equals, -1 for none.
    int findSolvedPattern();
    // The next press on the board drops the carried item instead.
    void armDrop() { m_bDropArmed = true; }

    // The first pattern (0..3) that `frames` (one per piece) equals, -1 for
    // none.
    static int matchPattern(const int frames[PIECES], const BoardPiece pieces[PIECES]);

    const BoardPiece& piece(int i) const { return m_pieces[i]; }
    int getLastToggled() const { return m_nLastToggled; }
    bool isBoardPressed() const { return m_bBoardPressed; }
    bool isDropArmed() const { return m_bDropArmed; }

    // The native methods of hv.InnerSanctum, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    void buildPieces();
    // The board answers: chapter 3 and not every pattern solved.
    bool boardLive();
    static bool carriesTorch();

    BoardPiece m_pieces[PIECES];
    bool m_bBoardPressed;
    int m_nLastToggled;
    bool m_bDropArmed;
};
