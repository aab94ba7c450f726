// SampleWalk.h: the walkthrough's hands on one run of the sample game, by
// room names and sprite names, with what it checks after every step (no
// script failed, no diagnostic line reported a fault); and the settings of a
// player saved at a chapter's start, for playing one chapter on its own.
#pragma once

#include "tests/game/support/SampleSession.h"

#include <string>
#include <vector>

class DoorSprite;
class Room;

namespace scenetest {

class SampleWalk {
public:
    explicit SampleWalk(gametest::SampleRun& run) : run(run), player(run.player) {}

    // The index of the room of that name in the rooms table (-1 for none).
    static int roomOf(const char* name);

    int current() { return run.current(); }
    int chapter();
    bool has(const char* item);
    // The story's flag (a Lua path such as "LF.bridgeSolved") is true.
    bool story(const char* flag);
    // The room's message balloon shows the text item (a room's own news,
    // such as a puzzle won).
    bool told(const char* id);
    Room* room();

    // Walks the rooms in turn, each through an exit of the one before.
    void walk(const std::vector<int>& rooms);
    // The same by the rooms' names.
    void walkTo(const std::vector<const char*>& rooms);
    // Clicks the middle of the current room's sprite and lets two frames run.
    void click(const char* sprite);
    // The item from the bar given to the room (let go away from its exits).
    void give(const char* item);
    // The buttons of the cut scene under way, in order, then its fade.
    void pageThrough(const std::vector<const char*>& buttons);
    // The chapter's last step, shown now, is clicked: the next chapter's
    // slides play and lead into its first room, and the slides count as seen.
    void endChapterOn(const char* sprite, int firstRoom);
    // The main menu's start button (a new game or the saved one goes on).
    void start();
    // Pause, back to the main menu (which saves the game), and quit the
    // program; the settings file it leaves.
    std::string quit();
    // No script failed and no diagnostic line reported a fault.
    void expectClean();
    // The background music of that name was found in the data and plays.
    void expectMusic(const char* name);
    // The task paper lists exactly the tasks of these hint ids (in any
    // order), and the saved record holds the same.
    void expectTasks(std::vector<int> ids);

    gametest::SampleRun& run;
    gametest::SamplePlayer& player;
    std::vector<int> entered;
};

// The room's exit to the target room (null for none).
DoorSprite* exitTo(Room* room, int target);

// The settings file of a player named `name` whose saved game stands at the
// start of `chapter` (its slides not yet seen), made by a run of the program
// that saves the new player's record at that chapter and quits; a run on it
// that presses start plays the chapter's slides into its first room.
std::string chapterStartSettings(int chapter, const std::string& name = "Wren");

} // namespace scenetest
