// WindRace.h: the wind race (a puzzle room, mini-game 15): a boat sails
// through a 5 x 5 grid of buoys, each with a windsock pointing up, right,
// down or left; at a buoy the boat sails on to the neighbour the windsock
// points to. Red windsocks are fixed, green ones turn when clicked, one
// buoy is the finish. Reaching the finish wins, sailing off the grid loses;
// the room tells its script either way, and leaves a won race once the boat
// has sailed off the top.
#pragma once

#include "game/rooms/Room.h"

#include <vector>

namespace sprite {
class AnimateSprite;
}

class WindRace : public Room {
public:
    // The grid, its directions and where a buoy's centre lies on screen.
    static constexpr int SIZE = 5;
    static constexpr int BUOYS = SIZE * SIZE;
    static constexpr int UP = 0;
    static constexpr int RIGHT = 1;
    static constexpr int DOWN = 2;
    static constexpr int LEFT = 3;
    static constexpr int COLUMN_STEP = 177;
    static constexpr int COLUMN_ORIGIN = 47;
    static constexpr int ROW_STEP = 97;
    static constexpr int ROW_ORIGIN = 99;
    // The definition: number 0 the doors, 1 to 6 the boat's start and launch
    // and the start and finish buoys, then a kind and a direction per buoy.
    static constexpr int FIRST_KIND = 7;
    static constexpr int FIRST_DIRECTION = FIRST_KIND + BUOYS;
    static constexpr int DEFINITION_NUMBERS = FIRST_DIRECTION + BUOYS;
    // Race states (the Room base's run from 0 to 7).
    static constexpr int STATE_RESET = 9;
    static constexpr int STATE_RACING = 10;
    static constexpr int STATE_RESTART = 11;
    static constexpr int STATE_WON = 12;
    static constexpr int STATE_LOST = 13;
    static constexpr int STATE_LAUNCH = 14;
    // Legs: a vertical one lasts 38 frames, a horizontal one 60; the launch
    // run 135 and the sail off the top after the finish 76.
    static constexpr int VERTICAL_LEG_FRAMES = 38;
    static constexpr int HORIZONTAL_LEG_FRAMES = 60;
    static constexpr int LAUNCH_FRAMES = 135;
    static constexpr int SAIL_OFF_FRAMES = 76;
    // Sounds: a windsock turned, the boat turns (or meets the start or the
    // finish), the go text.
    static constexpr int SOUND_TURN = 146;
    static constexpr int SOUND_HEADING = 224;
    static constexpr int SOUND_GO = 225;
    static constexpr int INSTRUCTIONS_GAME = 15;
    static const char kScriptTable[];

    // A buoy: its fixed or turnable sprite, its four windsocks (one shows),
    // its kind (0 fixed), current and initial directions. The sprites are
    // clones the room holds.
    struct BuoyInfo {
        sprite::SpriteBase* fixedSprite = nullptr;
        sprite::SpriteBase* turnSprite = nullptr;
        sprite::AnimateSprite* windsocks[4] = {nullptr, nullptr, nullptr, nullptr};
        int kind = 0;
        int direction = UP;
        int initialDirection = UP;
    };

    // Binds the room to hv.WindRace.
    WindRace();
    // The buoys' sprites leave the room.
    ~WindRace() override;

    HV_CLASS_NAME("WindRace", Room)
    HV_DECLARE_METACLASS(WindRace);

    // Paused while the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Builds the grid from the definition's numbers.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, close and reset buttons, and the turnable buoys.
    int mouseDown(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    void setState(int state) override;
    // The finished animations' commands (the boat's legs and its sail off
    // after the finish, the texts' fades).
    bool handleEvent(window::Event* e) override;

    // The direction a click turns a turnable buoy at `index` to: clockwise,
    // skipping the one direction that would point off the grid at an edge.
    static int nextDirection(int index, int direction);
    // The buoy the boat reaches from `index` sailing `direction`, and the
    // leg's frames; -1 when it sails off the grid.
    static int neighbour(int index, int direction, int& frames);
    // The centre of buoy `index` on screen.
    static int centreX(int index) { return (index % SIZE) * COLUMN_STEP + COLUMN_ORIGIN; }
    static int centreY(int index) { return (index / SIZE) * ROW_STEP + ROW_ORIGIN; }

    // Sails from the current buoy on the windsock's direction.
    void moveBoat();
    // Shows the buoy's windsock for the direction.
    void showDirection(int index, int direction);

    bool hasGrid() const { return int(m_buoys.size()) == BUOYS; }
    const BuoyInfo& buoy(int i) const { return m_buoys[size_t(i)]; }
    int getCurrentBuoy() const { return m_nCurrentBuoy; }
    int getStartBuoy() const { return m_nStartBuoy; }
    int getFinishBuoy() const { return m_nFinishBuoy; }
    sprite::AnimateSprite* getBoat() const { return m_pBoat; }

    // The native methods of hv.WindRace, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The definition holds every number in range; otherwise a debug line.
    bool validDefinition(const lang::IntArray& numbers);
    // Removes the buoys' sprites and forgets the buoys.
    void removeBuoys();
    // A clone of the room's template, on top, with its top-left at (x, y).
    sprite::SpriteBase* placeClone(const char* templateName, int x, int y);
    // Every turnable buoy on or off.
    void enableBuoys(bool enable);
    // Moves the boat's centre to (x, y) in `frames`, then `command`.
    void sailTo(int x, int y, int frames, const char* command);
    // The text fades to alpha over frames, then sends the command.
    void fadeText(sprite::SpriteBase* text, int alpha, int frames, const char* command);
    void setResetButton(bool enable);
    // The word line says the text item (null: nothing): a click before
    // "Go!", a click on a red windsock. "Go!" clears the first, the boat
    // leaving the start buoy both.
    void say(const char* textId);
    // The large words over the course's middle, on their plate (null: none):
    // the boat off the course, until "Go!" of the race started again; the
    // race won, until the room is left.
    void announce(const char* textId);
    // Leaves for the jetty as the Leave button does.
    void leave();

    std::vector<BuoyInfo> m_buoys;
    int m_nBoatStartX;
    int m_nUnused;
    int m_nLaunchX;
    int m_nBoatY;
    int m_nStartBuoy;
    int m_nFinishBuoy;
    int m_nCurrentBuoy;
    sprite::AnimateSprite* m_pBoat;
    sprite::SpriteBase* m_pReadyText;
    sprite::SpriteBase* m_pGoText;
    // The text item the word line says (one of the file's constants), or null.
    const char* m_pWord;
    // The text item the large words say, or null.
    const char* m_pNews;
};
