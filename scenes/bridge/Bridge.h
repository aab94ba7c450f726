// Bridge.h: the bridge room (room 32) and its memory game. Four choice
// pictures light up one after another in a random sequence (the preview),
// and the player clicks them in the same order. The rounds' lengths come
// from the room's definition; finished rounds are counted in matches, sets
// and set indexes that the scripts keep, and each is reported to the script
// ("onCorrectAnswer"), as is each wrong choice ("onWrongAnswer"). The game
// runs as a numbered state machine that the script drives with setState.
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <vector>

namespace sprite {
class AnimateSprite;
class ButtonMixin;
} // namespace sprite

namespace window {
class Event;
}

class Bridge : public Room {
public:
    // The game's states (the script names the first six).
    static constexpr int STATE_NONE = 0;
    static constexpr int STATE_START = 1;
    static constexpr int STATE_PREVIEW_1 = 2;
    static constexpr int STATE_PREVIEW_2 = 3;
    static constexpr int STATE_START_ROUND = 4;
    static constexpr int STATE_PLAYER_TURN = 7;
    static constexpr int STATE_STEP_DONE = 8;
    static constexpr int STATE_WRONG = 9;
    static constexpr int STATE_END_ROUND = 10;
    static constexpr int STATE_PREVIEW_START = 12;
    static constexpr int STATE_PREVIEW_DARK = 13;
    static constexpr int STATE_PREVIEW_NEXT = 14;
    static constexpr int STATE_CORRECT = 15;
    static constexpr int STATE_PREVIEW_DONE = 16;

    // Four choices; a round holds at most 100 steps.
    static constexpr int CHOICES = 4;
    static constexpr int MAX_STEPS = 100;
    // The frames between preview steps and state changes, every round.
    static constexpr int STEP_DELAY = 10;

    // Sound table entries: picture "bChoice<k>" sounds SOUND_CHOICE + k.
    static constexpr int SOUND_WRONG = 17;
    static constexpr int SOUND_CHOICE = 132;

    // The room's table in `rooms`.
    static const char kScriptTable[];

    // No round, no state, nothing pending.
    Bridge();
    ~Bridge() override;

    HV_CLASS_NAME("Bridge", Room)
    HV_DECLARE_METACLASS(Bridge);

    // The pending state's delay (held while the room comes in), then the
    // room's tick; nothing while the room is hidden, the instructions show or
    // the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Sets, rounds per set and the rounds' lengths from the numbers.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The room's own handling, then the player's choice.
    int mouseDown(window::Event* e) override;
    // The chosen picture shows its hover look again.
    int mouseUp(window::Event* e) override;
    // The exits' cursor and the hover looks of the choices.
    bool mouseMove(window::Event* e) override;
    // The counters cleared, then the room's entry (and the script's).
    void onEnter() override;
    // The round reset and anything pending dropped, then the room's exit.
    void onExit() override;

    // Enters a state of the game.
    virtual void enterState(int state);

    // The script's state names ("start", "preview_1" ...; any case): the
    // state entered, or STATE_NONE for a name that means nothing.
    static int stateNamed(const lang::String& name);

    // The draws of the sequence and the slot order (null: the room's own).
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    int getGameState() const { return m_nGameState; }
    int getPendingState() const { return m_nPendingState; }
    int getStateDelay() const { return m_nStateDelay; }
    int getSequenceLength() const { return m_nSequenceLength; }
    int getSequence(int i) const { return i >= 0 && i < MAX_STEPS ? m_sequence[i] : -1; }
    int getPlayerStep() const { return m_nPlayerStep; }
    int getPreviewPosition() const { return m_nPreviewPosition; }
    int getSlotOrder(int slot) const { return m_slotOrder[slot]; }
    sprite::AnimateSprite* getChoice(int slot) const { return m_pChoices[slot]; }
    int getSetCount() const { return m_nSetCount; }
    int getRoundsPerSet() const { return m_nRoundsPerSet; }
    const std::vector<int>& getRoundLengths() const { return m_roundLengths; }
    int getCurrentMatch() const { return m_nCurrentMatch; }
    int getCurrentSet() const { return m_nCurrentSet; }
    int getCurrentSetIndex() const { return m_nCurrentSetIndex; }
    bool isPreviewOnly() const { return m_bPreviewOnly; }

    // The native methods of hv.Bridge, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The state after `delay` + 1 frames, while the room shows and the game
    // plays; otherwise the request is dropped.
    void scheduleState(int state, int delay);
    // Every choice button on or off.
    void enableChoices(bool enable);
    // The picture's sound (for "bChoice<k>", sound 132 + k).
    static void playChoiceSound(sprite::AnimateSprite* picture);
    // The picture of the slot shows the frame (nothing for no picture).
    void showSlot(int slot, int frame);
    // The picture of the sequence's step lights up with its sound.
    void lightStep(int step);
    // Every picture that is set shows its resting look; the sequence is emptied.
    void resetRound();
    // A new round from the scripts' counters: its sequence and slot order.
    void setupRound();
    // The preview's end, or a round with nothing to show.
    void endPreview();
    // The counters move on and the script hears of the finished round.
    void completeRound();

    int m_nPreviewPosition;
    int m_nSequenceLength;
    int m_nPlayerStep;
    int m_sequence[MAX_STEPS];
    sprite::AnimateSprite* m_pChoices[CHOICES];
    sprite::ButtonMixin* m_pButtons[CHOICES];
    int m_slotOrder[CHOICES];
    int m_nStepDelay;
    int m_nSetCount;
    int m_nRoundsPerSet;
    int m_nCurrentSet;
    int m_nCurrentSetIndex;
    int m_nCurrentMatch;
    std::vector<int> m_roundLengths;
    int m_nGameState;
    int m_nPendingState;
    int m_nStateDelay;
    bool m_bPreviewOnly;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};
