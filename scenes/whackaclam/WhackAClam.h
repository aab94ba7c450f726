// WhackAClam.h: the underwater pearl game (room 18). Clams on the sea floor
// open and close on random timers and sometimes hold a pearl; the player
// clicks the pearls out before the air tank runs empty, and each pearl lights
// the next of a row of dark slots. All slots lit wins (after an end
// animation); an empty tank with slots still dark loses.
#pragma once

#include "core/util/RectangleNM.h"
#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <vector>

class Clam;

class WhackAClam : public Room {
public:
    // The underwater loop while the room shows.
    static constexpr int SOUND_UNDERWATER = 105;
    // The mini-game index of its instructions.
    static constexpr int INSTRUCTIONS_GAME = 2;
    // The air drops one pixel of the tank every 12 ticks of the running dive.
    static constexpr int AIR_TICKS = 12;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    WhackAClam();
    // Drops the clams and the slots.
    ~WhackAClam() override;

    HV_CLASS_NAME("WhackAClam", Room)
    HV_DECLARE_METACLASS(WhackAClam);

    // "EndGameAnimationDone": the script's "onWin".
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The air, the low-air warning and the win.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The tuning numbers, the pearl slots and the clams.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the close button, then a click on a clam; one that
    // takes no pearl in a running dive is told to the script ("noPearl" with
    // 1 when the clam was shut, 0 when it was open without a pearl).
    int mouseDown(window::Event* e) override;
    // The hand over a clam whose pearl can be taken.
    bool mouseMove(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The low-air warning's pulse.
    bool handleEvent(window::Event* e) override;

    // The script starts (true) or holds the game; started, it queues the
    // instructions.
    void activateGame(bool active);
    // Every entering: the clams set up, the tank full, the slots dark.
    void newGame();
    void startEndGame();

    // For the clams.
    bool isRunning();
    // The air ran out in this visit and the room takes input.
    bool isLost();
    bool isEndAnimation() const { return m_bEndAnimation; }
    bool isInactive() const { return m_bInactive; }
    int getStepDelay() const { return m_nStepDelay; }
    // Ticks a clam stays closed or open.
    int clamDelay(bool closed);
    bool shouldGetPearl(Clam* clam);
    // The next dark slot, or null with all lit.
    sprite::SpriteBase* nextPearlSlot();
    void pearlCollected();
    void pearlClicked();
    void changePearlsShowing(int delta) { m_nPearlsShowing += delta; }

    // The draws of the delays and pearls (null: the room's own generator).
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    int getPearlCount() const { return m_nPearlCount; }
    int getPearlsCollected() const { return m_nPearlsCollected; }
    int getPearlsClicked() const { return m_nPearlsClicked; }
    int getPearlsShowing() const { return m_nPearlsShowing; }
    bool isGameOver() const { return m_bGameOver; }
    bool isAllClicked() const { return m_bAllClicked; }
    bool isWarningGiven() const { return m_bWarningGiven; }
    const util::RectangleNM& getTankRect() const { return m_tankRect; }
    int getClamCount() const { return int(m_clams.size()); }
    Clam* getClam(int i) const { return m_clams[i]; }
    sprite::SpriteBase* getSlot(int i) const { return m_slots[i]; }
    int getSlotCount() const { return int(m_slots.size()); }
    int getClosedMin() const { return m_nClosedMin; }
    int getOpenMax() const { return m_nOpenMax; }

    // The native methods of hv.WhackAClam, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // Entered, not in a transition and no instructions showing.
    bool takesInput();
    // The warning starts fading in and out.
    void onAirTankLow();
    // The tank ran empty: the warning gives way to the steady empty label.
    void onAirOut();
    // Both labels over the tank go, their pulse stopped.
    void hideAirLabels();
    // The definition's number i, or `fallback` past its end.
    int number(int i, int fallback) const;
    // The canvas's question mark goes away at the end of a game.
    static void hideQuestionMark();

    std::vector<Clam*> m_clams;
    std::vector<sprite::SpriteBase*> m_slots;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
    int m_nPearlCount;
    int m_nSlotX;
    int m_nSlotY;
    int m_nMostShowing;
    int m_nClosedMin;
    int m_nClosedMax;
    int m_nOpenMin;
    int m_nOpenMax;
    int m_nStepDelay;
    int m_nPearlChance;
    int m_nPearlsPerClam;
    int m_nPearlsCollected;
    int m_nPearlsClicked;
    int m_nPearlsShowing;
    int m_nAirTicks;
    util::RectangleNM m_tankRect;
    bool m_bEntered;
    bool m_bInactive;
    bool m_bGameOver;
    bool m_bEndAnimation;
    bool m_bAllClicked;
    bool m_bWarningGiven;
    bool m_bSlowOpen;
    int m_nRamp;
};
