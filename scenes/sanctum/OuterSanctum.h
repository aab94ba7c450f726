// OuterSanctum.h: the outer sanctum's code puzzle (room 35). The room hides
// a code of four different kinds out of eight; the player paints the four
// places of a row with kinds picked from eight choices, pulls the lever,
// and learns per place whether its kind is right, lies elsewhere in the
// code or is absent. Every puzzle already won leaves one try fewer. The
// room's script draws the earlier rows and decides what follows.
#pragma once

#include "game/rooms/Room.h"

#include <vector>

class OuterSanctum : public Room {
public:
    // The four places of a row, the eight kinds.
    static constexpr int PLACES = 4;
    static constexpr int KINDS = 8;
    static constexpr int EMPTY = -1;
    // Results of a place.
    static constexpr int ABSENT = 0;
    static constexpr int RIGHT_PLACE = 1;
    static constexpr int ELSEWHERE = 2;
    // With no puzzle won, seven rows may be judged.
    static constexpr int MAX_TRIES = 7;
    // The mini-game index of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 14;
    // The cursor that shows the held piece (its frame is the kind).
    static constexpr int CURSOR_BRUSH = 42;
    // Sounds: a piece picked up, put down, the hand emptied.
    static constexpr int SOUND_PICK = 175;
    static constexpr int SOUND_PLACE = 176;
    static constexpr int SOUND_EMPTY_HAND = 22;
    // A release this many pixels or more from its press (in x or y) with a
    // piece held drops the piece there.
    static constexpr int DROP_DISTANCE = 9;
    // Fades: the old rows over 10 frames, a placed piece over 5 to 128.
    static constexpr int ROW_FADE_FRAMES = 10;
    static constexpr int PLACE_FADE_FRAMES = 5;
    static constexpr int PLACE_ALPHA = 128;
    static const char kScriptTable[];

    // A piece: its sprite (a child of the room, not owned) and its kind.
    struct PieceInfo {
        sprite::SpriteBase* sprite = nullptr;
        int kind = EMPTY;
    };

    // Binds the room to hv.OuterSanctum.
    OuterSanctum();

    HV_CLASS_NAME("OuterSanctum", Room)
    HV_DECLARE_METACLASS(OuterSanctum);

    // The room's definition; choice i is kind i.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The lever, picking a kind up, and putting it down (see the source).
    int mouseDown(window::Event* e) override;
    // A drag with a piece held drops it where it is released.
    int mouseUp(window::Event* e) override;
    // A new puzzle at once, the inventory bar, and the rules while a code
    // is left to break.
    void onEnter() override;
    // The hand emptied and the instructions closed.
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;

    // A new code; the rows and their results are faded out (or hidden at
    // once when `immediate`).
    void setupPuzzle(bool immediate);
    // The rows and results other than the active ones fade out.
    void fadeOutIncorrectRows();
    // Judges the active row, shows its marks and reports to the script.
    void evaluateRow();

    // Results of `row` against the code: RIGHT_PLACE, ELSEWHERE or ABSENT
    // per place; true when all four are right.
    static bool judge(const int answer[PLACES], const int row[PLACES], int results[PLACES]);
    // The report after `attempts` judged rows with `wins` puzzles won:
    // (1, 0, solved) once out of tries, else (0, attempts, solved).
    static void report(int attempts, int wins, bool solved, int out[3]);

    void setAllowClicks(bool allow) { m_bAllowClicks = allow; }
    bool getAllowClicks() const { return m_bAllowClicks; }
    void setAnswer(const int answer[PLACES]);
    const int* getAnswer() const { return m_answer; }
    int getAttempts() const { return m_nAttempts; }
    bool isHolding() const { return m_bHolding; }
    int getHeldKind() const { return m_nHeldKind; }
    // The kind in place i of the active row (EMPTY when the rows are missing).
    int placeKind(int i) const;

    // The native methods of hv.OuterSanctum, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // A press at (x, y) with nothing held: the lever or a pick-up; the lever
    // of a row not yet full or an empty place asks the script to say what
    // comes first.
    int pressEmptyHand(int x, int y, int result);
    // A press with a piece held: put down, swapped, or taken back.
    void pressHolding(int x, int y);
    // The held kind is on the cursor.
    void holdKind(int kind);
    // The row's four places exist (the definition has four row pieces).
    bool hasRow() const { return m_pieces.size() >= PLACES; }
    // Some place of the row holds the kind.
    bool rowHolds(int kind) const;
    void showScattered(int kind, bool visible);
    // The button of that name is enabled and holds the point (room frame).
    bool buttonHit(const char* name, int x, int y);
    // The sprite of that name holds the point, enabled or not.
    bool spotHit(const char* name, int x, int y);

    int m_nAttempts;
    int m_answer[PLACES];
    bool m_bAllowClicks;
    int m_nHeldKind;
    PieceInfo m_choices[KINDS];
    bool m_bHolding;
    int m_nLastClickX;
    int m_nLastClickY;
    // One record per "RowPiece_" child in drawing order; 0..3 the active row.
    std::vector<PieceInfo> m_pieces;
};
