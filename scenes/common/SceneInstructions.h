// SceneInstructions.h: the mini-game instructions as every puzzle room
// handles them: queued when the puzzle is entered (in the canvas's puzzle
// mode), opened by a press on the question mark, closed when the puzzle is
// left. They open about the room's position (its anchor point, the middle of
// a full-screen room, so that the panel lies wholly on the screen), growing
// over 8 frames from the point (50, 50), from scale 0.1 to 1.0.
#pragma once

class Room;

class SceneInstructions {
public:
    // The frames, growth origin and scales every puzzle room opens with.
    static constexpr int GROW_FRAMES = 8;
    static constexpr int ORIGIN_X = 50;
    static constexpr int ORIGIN_Y = 50;
    static constexpr float START_SCALE = 0.1f;
    static constexpr float END_SCALE = 1.0f;
    // Most puzzles open their instructions this many frames after entering.
    static constexpr int ENTRY_DELAY = 36;

    // Entering: the instructions of `game` open by themselves after `delay`
    // frames when the scripts still want them to, else the question mark shows.
    static void queue(Room* room, int game, int delay);
    // A press at (x, y) on the question mark opens the instructions of
    // `game` at once, growing; true when the press was there.
    static bool openOnQuestionMark(Room* room, int game, int x, int y);
    // The instructions of `game` open now, growing (a script's or a
    // button's request).
    static void open(Room* room, int game);
    // Entering without a delay: the instructions of `game` open at once,
    // without growing, when the scripts still want them to, else the
    // question mark shows.
    static void openOrMark(Room* room, int game);
    // Leaving: the instructions and the question mark closed, instructions
    // still queued to open given up, and the canvas told that no game's
    // instructions are at hand.
    static void close(Room* room, int game);

    // A puzzle room's answer when asked for its instructions: `number`,
    // opening about the room's position.
    static void info(Room* room, int number, int& game, int& x, int& y);

    // A puzzle room is entered: the canvas's puzzle mode on (the inventory
    // bar and the hints put away) and the instructions queued.
    static void enterPuzzle(Room* room, int game, int delay);
    // It is left: the puzzle mode off and the instructions closed.
    static void leavePuzzle(Room* room, int game);
};
