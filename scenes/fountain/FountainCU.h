// FountainCU.h: the close-up of the market-place fountain (room 7): a valve
// behind a door, scummy water with a key at the bottom, a broken pipe door
// whose pipes are mended in the pipes close-up, and the way back to the
// market place. The room's script decides what a click means and drives the
// room through its Lua methods; the room plays the animations and reports
// their ends.
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <memory>

struct luaL_Reg;

class PipesCU;

class FountainCU : public Room {
public:
    // The market place, where the close button and the solved fountain lead.
    static constexpr int MARKET_PLACE = 2;
    // The key twinkles every 40 to 200 ticks while it lies in the water.
    static constexpr int TWINKLE_MIN = 40;
    static constexpr int TWINKLE_MAX = 200;
    // The valve turns four times, two ticks a frame.
    static constexpr int VALVE_LOOPS = 4;
    static constexpr int VALVE_RATE = 2;
    // The task-completed banner shows this long before the room is left.
    static constexpr int BANNER_TICKS = 101;
    // The mended pipe door fades in, and its stars burst, over this long.
    static constexpr int FIXED_FADE = 96;
    static constexpr int FIXED_STARS = 30;
    // The stars fade out over this long once their burst is over (with the
    // door, as it fades, when the water is turned on before).
    static constexpr int STARS_FADE = 12;
    // Special cursor of the held key.
    static constexpr int CURSOR_KEY = 10;
    // Sounds.
    static constexpr int SOUND_DRAIN = 4;
    static constexpr int SOUND_FIXED_WATER = 5;
    static constexpr int SOUND_VALVE = 6;
    static constexpr int SOUND_DOOR = 7;
    static constexpr int SOUND_NOTHING = 17;
    static constexpr int SOUND_KEY_BACK = 22;
    static constexpr int SOUND_PIPES_FIXED = 53;
    static constexpr int SOUND_KEY_TAKEN = 90;
    static const char kScriptTable[];
    // The story's flag, kept by the room's script: the basin is drained.
    static const char kDrainedFlag[];

    enum Command {
        FINISH_DRAINING,
        DRAIN,
        KEY_TWINKLE_FINISHED,
        BROKEN_PIPE_ON,
        BROKEN_PIPE_OFF,
        BROKEN_DOOR_ON,
        BROKEN_DOOR_OFF,
        VALVE_DOOR_OPENED,
        SHOW_TASK_COMPLETED,
        SOLVED_TO_MARKET_PLACE,
        PIPES_FIXED_BLING,
        PIPES_FIXED_ALL_BLING_DONE,
        COMMAND_COUNT,
    };
    static const char* const kCommands[COMMAND_COUNT];

    FountainCU();
    ~FountainCU() override;

    HV_CLASS_NAME("FountainCU", Room)
    HV_DECLARE_METACLASS(FountainCU);

    void setDefinition(sprite::SpriteDefinition* definition) override;
    void onEnter() override;
    void onExit() override;
    // At a new game: the pipes close-up closed when a puzzle is active, and
    // the puzzle mode off.
    void resetProgress() override;
    // Counts the key's twinkle down; nothing while the instructions show or
    // the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The market place is reached by a zoom out of the fountain.
    void goToRoom(int index) override;
    int mouseDown(window::Event* e) override;
    bool handleEvent(window::Event* e) override;

    // What the script asks for.
    void openValveDoor();
    void drainWaterFromFountain();
    void turnOffBrokenWater(bool pipe);
    void turnOnBrokenWater(bool pipe);
    void turnOnFixedWater();
    void pickupKey();
    // A held key goes back into the water; whether one was held.
    bool putKeyInFountain();
    // A held key opens the pipe door; whether one was held.
    bool useKeyOnPipeDoor();
    void enterPipesCU();
    void showPipesFixed();
    void startKeyTwinkle();
    void handleCommand(int command);

    bool isTwinkleOn() const { return m_bTwinkleOn; }
    int getTwinkleCountdown() const { return m_nTwinkleCountdown; }
    bool isKeyHeld() const { return m_bKeyHeld; }
    bool isDraining() const { return m_bDraining; }
    // Where the twinkle delays and the stars' offsets are drawn (a test
    // puts a script of its own in).
    void setRandomDraw(std::unique_ptr<RandomDraw> draw) { m_draw = std::move(draw); }

    static const luaL_Reg* luaMethods();

private:
    // The four fields of a visit cleared.
    void clearVisit();
    // The key in the water twinkles now and then and takes the hand cursor.
    void startTwinkleCountdown();
    // The held key shown in the water again and taken off the cursor.
    void returnKey();
    // The valve's turning, forward or backward, ending with the command
    // (none for -1).
    void runValve(bool forward, bool fromFirstFrame, int command);
    // The mouse-over cursor of the named sprite: 8 normal, 9 hand, -1 none.
    void setHoverCursor(const char* name, int cursor);
    void setButtonEnabled(const char* name, bool enabled);
    // The mended door's stars fade out over the frames and hide.
    void fadeOutStars(int frames);
    // The named rectangle button holds the room point and is enabled.
    bool isButtonHit(const char* name, int x, int y);
    void sendCommand(sprite::SpriteBase* sprite, int command);
    PipesCU* pipes();

    bool m_bTwinkleOn;
    int m_nTwinkleCountdown;
    bool m_bKeyHeld;
    bool m_bDraining;
    std::unique_ptr<RandomDraw> m_draw;
};
