// TreasureChestCU.h: the close-up of the treasure chest (room 6), opened
// once a chapter. It hosts the sliding-block board (room 8) over itself,
// keeps the chapter's boards in order (the scripts keep the progress),
// reports each solved board to its script, which plays the lock animations
// and asks for the next board, and leaves through zooms drawn through
// chest-shaped masks.
#pragma once

#include "game/rooms/Room.h"

struct luaL_Reg;

namespace window {
class Event;
}

class SlideBlockPuzzle;

class TreasureChestCU : public Room {
public:
    // The board's room, and the chapter whose boards chapter 6 plays again.
    static constexpr int BOARD_ROOM = 8;
    static constexpr int GOLD_CHAPTER = 6;
    static constexpr int REPLAYED_CHAPTER = 5;
    // The golden room that chapter 6's chest leads to.
    static constexpr int GOLDEN_ROOM = 63;
    // The zooms out of the chest: from 4 times to a fifth over 36 frames
    // (to the golden room to 0.08).
    static constexpr float ZOOM_FROM = 4.0f;
    static constexpr float ZOOM_TO = 0.2f;
    static constexpr float GOLDEN_ZOOM_TO = 0.08f;
    static constexpr int ZOOM_FRAMES = 36;
    // The board stands this far below the room's middle.
    static constexpr int BOARD_DROP = 15;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    TreasureChestCU();
    ~TreasureChestCU() override;

    HV_CLASS_NAME("TreasureChestCU", Room)
    HV_DECLARE_METACLASS(TreasureChestCU);

    // The camera flashes hidden.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The board entered and built with the chapter's current puzzle; the
    // locks (or chapter 6's screws) show the boards solved.
    void onEnter() override;
    void onExit() override;
    // Paused while the instructions show or the game does not play; acts
    // once on the board's close request and on its solved board.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The board's close and reset buttons (when no door cycle runs).
    int mouseDown(window::Event* e) override;
    // The chapter's first board again.
    void resetGlobalItems() override;
    // Zooms out to the chapter's room (nothing unless the game plays).
    void goToRoom(int index) override;
    // The ends of the camera flashes and of a won chest's wait.
    bool handleEvent(window::Event* e) override;

    // Zooms into the golden room through the mask that suits board n; the
    // board is hidden first, so that the zoom draws none of its blocks.
    void zoomToGoldenRoom(int n);
    // The same once `frames` have passed (at once for none), the chest
    // standing as it is until then; leaving the chest calls it off.
    void zoomToGoldenRoomAfter(int n, int frames);
    // Camera flash n over a lock plays once.
    void showLockUnlock(int n);

    // The board of the first onEnter, or null.
    SlideBlockPuzzle* getBoard() const { return m_pBoard; }
    int getCurrentPuzzle() const { return m_nCurrentPuzzle; }
    int getPuzzlesPerChapter() const { return m_nPuzzlesPerChapter; }

    // The first board of the chapter (chapter 6 plays chapter 5's boards),
    // and the number of a board within its chapter, with k boards a chapter.
    static int firstPuzzle(int chapter, int k);
    // The current puzzle brought into the chapter's boards by whole steps
    // of k (k below 1 counts as 1), then the script's counter when it is
    // higher.
    static int normalisePuzzle(int current, int chapter, int k, int scriptCounter);
    // The room the chest leads back to in the chapter; -1 in chapter 5,
    // whose chest stays where it is.
    static int exitRoom(int chapter);

    // The native methods of hv.TreasureChestCU, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The lock frames of the boards solved in the chapter, or the screws.
    void showLocks();

    SlideBlockPuzzle* m_pBoard;
    int m_nCurrentPuzzle;
    int m_nPuzzlesPerChapter;
};
