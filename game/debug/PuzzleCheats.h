// PuzzleCheats.h: the developer's jump screen of the debug mode: one page
// per chapter, with check boxes that mark the chapter's puzzles and tasks as
// done (through the functions of rooms["PuzzleCheats"] in
// "PuzzleCheats.lua") and buttons that jump straight into any of its rooms.
#pragma once

#include "game/rooms/Room.h"

class PuzzleCheats : public Room {
public:
    // How a jump button reaches its room.
    enum class JumpKind {
        // The inventory takes its items back, the global I-Spy game ends,
        // the screen leaves, then the room changes.
        Clean,
        // The screen leaves, then the room changes; the items and the I-Spy
        // game stay as they are.
        Plain,
        // A clean jump after the inventory's cave map is switched off.
        CleanWithoutCaveMap,
        // A clean jump to the temple-door room after it built puzzle 0 or 1.
        CleanTempleDoor0,
        CleanTempleDoor1,
        // The fountain, then the pipes close-up over it.
        PipesCloseUp,
        // The first outer village, then peg puzzle 1 over it.
        PegsCloseUp,
    };
    struct CheckBox {
        int chapter;
        const char* sprite;
        // The function of rooms["PuzzleCheats"] the box calls.
        const char* function;
    };
    struct Jump {
        int chapter;
        const char* sprite;
        int room;
        JumpKind kind;
    };

    // The tables of the six pages, in the order their parts are tried.
    static constexpr int CHECK_BOX_COUNT = 20;
    static constexpr int JUMP_COUNT = 60;
    static const CheckBox kCheckBoxes[CHECK_BOX_COUNT];
    static const Jump kJumps[JUMP_COUNT];
    // The screen's script, with its callbacks and check-box functions.
    static const char kScriptFile[];

    // Runs the screen's script (once, remembered by the script host).
    PuzzleCheats();

    HV_CLASS_NAME("PuzzleCheats", Room)
    HV_DECLARE_METACLASS(PuzzleCheats);

    // The room's handling, then the current chapter's check boxes and jump
    // buttons at the press.
    int mouseDown(window::Event* e) override;
    // The page of the current chapter, shown; then the script's "onEnter"
    // and the normal cursor.
    void onEnter() override;
    // Hides the screen, then the room's leaving (the script's "onExit").
    void onExit() override;

    // Follows a jump button.
    void jump(const Jump& jump);
};
