// Room.h: the base of every location, close-up and puzzle room: a dialog
// built from the data manifest with its exits (children "Door0", "Door1",
// ...), the characters standing in it, its ambient effects, a small state
// machine for entering and leaving, and the Lua callbacks of its table
// rooms[<room name>].
#pragma once

#include "core/lang/IntArray.h"
#include "core/util/Random.h"
#include "core/util/TVector.h"
#include "core/util/Vector.h"
#include "sprites/dialogs/DialogSprite.h"

struct luaL_Reg;

namespace sprite {
class ExplosionSpritePSX;
class TransitionBase;
} // namespace sprite

namespace window {
class ImageBase;
}

class AmbientAnimal;
class Character;
class DoorSprite;

class Room : public sprite::DialogSprite {
public:
    // Room states (setState).
    static constexpr int STATE_LEFT = 0;
    static constexpr int STATE_ENTER = 1;
    static constexpr int STATE_SHOWN_UNDER_TRANSITION = 2;
    static constexpr int STATE_PLAYING = 3;
    static constexpr int STATE_SUSPENDED = 4;
    static constexpr int STATE_RESUME = 5;
    static constexpr int STATE_LEAVING = 6;
    static constexpr int STATE_EXIT = 7;

    // The cursor a room asks for while the pointer rests on a character's
    // talk-to-me button.
    static constexpr int CURSOR_TALK = 8;
    // The room table's size: indexes 0 to 65.
    static constexpr int ROOM_COUNT = 66;
    // Door types: a type whose hundreds are 4 zooms into the target room.
    static constexpr int DOOR_TYPE_ZOOM = 400;
    // Every exit wipe lasts this long.
    static constexpr int DOOR_TRANSITION_FRAMES = 24;
    // The ambient audio loops fade out over this many frames on leaving.
    static constexpr int AMBIENT_FADE_FRAMES = 64;
    // Sparkles leave the room this many frames after they were placed.
    static constexpr int SPARKLE_CLEANUP_FRAMES = 100;
    // A sprite without a sparkle count gets one try per this many pixels.
    static constexpr int SPARKLE_AREA = 30;
    // A call into a room's script that runs longer than this is stopped with
    // a script error (an endless loop would hang the game).
    static constexpr int DEFAULT_SCRIPT_TIME_LIMIT_MS = 5000;
    // The most sparkles one call places: about as many 20 x 20 glints as
    // cover the 800 x 600 screen. Scripts asking for more are held to it.
    static constexpr int MAX_SPARKLES = 1000;
    // The most ambient animals one call adds: more than the screen can show
    // at once would only cost frames.
    static constexpr int MAX_AMBIENT_ANIMALS = 64;
    // Each particle effect sprite holds up to this many particles.
    static constexpr int PARTICLE_CAPACITY = 100;
    // Animals placed at once stand at x 75 .. 725.
    static constexpr int AMBIENT_PLACE_X = 75;
    static constexpr int AMBIENT_PLACE_SPREAD = 650;

    // The Lua face: the class metatable, its script and its class name.
    static const char kMetatable[];
    static const char kScriptFile[];
    static const char kLuaClassName[];

    // A hidden-state, non-modal dialog with no exits.
    Room();
    // Lets go of the particle list, the characters, the effects and the
    // ambient sprites.
    ~Room() override;

    HV_CLASS_NAME("Room", sprite::DialogSprite)
    HV_DECLARE_METACLASS(Room);

    // "cleanup": the sparkle effects leave the room.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The delayed state counts down while the room plays; then the dialog tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Showing the room shows its visible characters again.
    void setVisible(bool visible) override;
    // The room's own show/hide transition or a screen transition runs.
    bool isTransitioning() override;
    // Keeps a copy of the definition's numbers; number 0 is the exit count.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // Exits first, then the script (see Room.cpp); 1 when handled.
    int mouseDown(window::Event* e) override;
    // Notes the hover cursor for the point, then the dialog's rollovers.
    bool mouseMove(window::Event* e) override;

    // The room becomes current: shown, ambient sounds on, Lua "onEnter".
    virtual void onEnter();
    // The room is left: Lua "onExit", characters and effects taken out.
    virtual void onExit();
    // The running screen transition ended: input is taken again.
    virtual void activate();
    // After "onUse" with the held item's sprite.
    virtual void itemUsed(sprite::SpriteBase* item);
    // The item held on the cursor is used at (x, y): the player's thought
    // ends, then Lua "onUse" and itemUsed; true when the script ended the
    // chapter. A press in the room does this, and so does an item dragged
    // out of the bar and let go over the room.
    bool useHeldItem(int x, int y);
    // A click at (x, y) for the room's script (Lua "onClick"), the player's
    // thought ended first; true when the script ended the chapter. A press
    // in the room that meets no exit does this, and so does an item the bar
    // keeps, dragged out of it and let go over the room.
    bool clickAt(int x, int y);
    // The mini-game whose instructions the room offers (-1 for none) and
    // where the instructions open.
    virtual void getGameInstructionsInfo(int& game, int& x, int& y);
    virtual void keyPressed(int key);
    // Lua "resetGlobalItems".
    virtual void resetGlobalItems();
    // A new game: the room forgets its own progress.
    virtual void resetProgress();
    virtual void goToRoomNamed(const lang::String& name);
    // Leaves through the exit toward the room (its transition, or at once).
    virtual void goToRoom(int index);
    // While true the canvas holds back a pending room change.
    virtual bool blocksRoomChange();
    virtual void setState(int state);
    virtual void setPendingSprite(int first, int next);
    virtual void takePendingSprite();
    // Kept for the scenes; never called by the room itself.
    virtual void reservedHook1();
    virtual void reservedHook2();

    // How long one call into a room's script may run (0 or less: the
    // default); tests shorten it.
    static void setScriptTimeLimit(int ms);
    // rooms[table][function] called with (self, 1), (self, n) or (self, x, y).
    void callScript(const char* table, const char* function);
    void callScriptInt(const char* table, const char* function, int n);
    void callScriptXY(const char* table, const char* function, int x, int y);
    // The same for a notice, which the play goes on without: one the script
    // does not define is skipped without a box.
    void callNotice(const char* table, const char* function);
    void callNoticeInt(const char* table, const char* function, int n);
    // rooms.OuterSanctum.showResults(self, a, b, c).
    void callOuterSanctumShowResults(int a, int b, int c);
    // rooms.ArtRestoration.animateThumbnail(self, <the sprite's table>).
    void callArtRestorationAnimateThumbnail(sprite::SpriteBase* sprite);

    // Zooms into the target room through a mask growing (or shrinking) from
    // start to end scale; the change happens once the mask covers the screen.
    void zoomToRoom(int target, const lang::String& maskName, int x, int y, float startScale, float endScale,
                    int frames, window::ImageBase* maskImage);
    // The exit transition toward the target (a new transition the caller
    // releases), the room then leaving; false, after leaving at once, when
    // no exit leads there with a wipe direction or no transition is made.
    bool findExitTransition(int target, sprite::TransitionBase** transition);
    // A 24-frame full-screen transition from the canvas's door settings,
    // wiping in the direction code.
    void makeDoorTransition(sprite::TransitionBase** transition, int direction);
    // Leaves at once: state 7, then the canvas changes to the room.
    void exitTo(int index);
    // Sets the state after that many frames of play (only while the room
    // shows, the game plays and the room is not suspended).
    void setStateAfter(int state, int frames);
    // Changes to the room of that index after that many frames of play,
    // counted as setStateAfter counts them (at once for none); the room
    // stands as it is until then, and leaving it calls the change off.
    void moveToRoomAfter(int index, int frames);
    void pauseIfVisible();
    void resumeIfPaused();
    // The hover cursor for the point: CURSOR_TALK on a character's
    // talk-to-me button, else `fallback`.
    void updateHover(int x, int y, int fallback);
    // Ends the global I-Spy game when the scripts say it runs.
    void killGlobalISpyIfActive();

    // Every exit on or off.
    void enableDoors(bool enable);
    // The exits to `target`, in index order, after the first `skip`.
    void enableDoorTo(int target, bool enable, int skip);
    // Exit i (a DoorSprite child named "Door<i>"), or null.
    DoorSprite* getDoor(int i);

    // Puts the canvas's character of that name into the room, just above
    // the child `afterName` (on top for an empty name), at (x, y).
    void addCharacter(const lang::String& name, const lang::String& afterName, int x, int y, bool visible,
                      bool enabled, bool idle);
    // Hands the character back to the canvas, hidden.
    void removeCharacter(const lang::String& name);
    bool hasCharacter(const lang::String& name);
    Character* findCharacter(const lang::String& name);

    // Sparkles, clones of the room's SparkleSprite `templateName`, on random
    // opaque points of the named sprite (count <= 0: one try per 30 pixels
    // of it), each starting within maxDelay frames and playing for `life`;
    // the room's "cleanup" takes them away 100 frames later.
    void addSparkleInSprite(const lang::String& spriteName, const lang::String& templateName, int maxDelay, int life,
                            int count);
    // The same on random points of the rectangle, one per try.
    void addSparkleInRect(int x, int y, int width, int height, const lang::String& templateName, int maxDelay,
                          int life, int count);
    // The named effect ("Flower", "Lock", "PipesFixed") bursts from the
    // named sprite's position for `frames` frames.
    void createParticleEffect(const lang::String& spriteName, const lang::String& effect, int frames);
    // `count` animals that wait a..b frames off screen between visits; a
    // few start on screen, the rest enter from an edge later.
    void addAmbientButterflies(int count, int a, int b);
    void addAmbientFireflies(int count, int a, int b);
    // The room's rising bubbles.
    void addAmbientBubbles();
    // The named sprite of the room moves just above `afterName` in the
    // drawing order; nothing unless both are the room's.
    void placeAbove(const lang::String& name, const lang::String& afterName);
    // The named sprite of the room moves to the top of the drawing order.
    void bringNamedToFront(const lang::String& name);
    // The particle sprites of the room's effects, or null before the first.
    util::TVector<sprite::ExplosionSpritePSX*>* getParticles() const { return m_particles; }

    // The canvas's room of that index, or null.
    static Room* roomAt(int index);
    // The chapter of the progress record.
    static int chapterNumber();

    int getState() const { return m_nState; }
    int getSavedState() const { return m_nSavedState; }
    int getDoorCount() const { return m_nDoorCount; }
    int getHoverCursor() const { return m_nHoverCursor; }
    int getDelayedState() const { return m_nDelayedState; }
    int getDelay() const { return m_nDelay; }
    int getPendingSprite() const { return m_nPendingSprite; }
    int getNextPendingSprite() const { return m_nNextPendingSprite; }
    bool isChapterEnded() const { return m_nChapterEnded > 0; }
    void setChapterEnded() { m_nChapterEnded = 1; }
    const lang::IntArray& getDefinitionInts() const { return m_definitionInts; }
    util::Vector& getEffects() { return m_effects; }
    util::Vector& getAmbientSprites() { return m_ambientSprites; }
    int getCharacterCount() { return m_characters.size(); }
    Character* characterAt(int i) { return m_characters.elementAt(i); }
    util::Random& getRandom() { return m_random; }
    // The room's name as its key in `rooms`.
    const char* scriptName() const { return getName().c_str(); }

    // The native methods of hv.Room, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // Pushes rooms[table][function] and self, then `count` integer
    // arguments, and calls it under the script host's traceback handler;
    // the stack is left as it was. An undefined notice is skipped.
    void callRoomFunction(const char* table, const char* function, const int* args, int count,
                          bool notice = false);
    // The sparkle effects leave the room and are released.
    void removeEffects();
    // One sparkle of the template at (x, y) on top of the room.
    void placeSparkle(sprite::SpriteBase* model, int x, int y, int maxDelay, int life);
    // The room asks for its "cleanup" in 100 frames.
    void scheduleCleanup();
    // The first particle sprite not running, else a new one.
    sprite::ExplosionSpritePSX* freeParticleSprite();
    // Puts a new ambient animal on top: on screen at once, or waiting.
    void placeAnimal(AmbientAnimal* animal, bool now);
    // The animals of one kind, made through `make` (null when the data has
    // none to make).
    template <class Make>
    void addAmbientAnimals(int count, Make make);

    lang::IntArray m_definitionInts;
    util::Vector m_effects;
    util::Vector m_ambientSprites;
    util::TVector<sprite::ExplosionSpritePSX*>* m_particles;
    int m_nPendingSprite;
    int m_nNextPendingSprite;
    int m_nHoverCursor;
    int m_nDoorCount;
    int m_nState;
    int m_nSavedState;
    int m_nDelayedState;
    int m_nDelay;
    // The room a moveToRoomAfter leads to, and the frames left before it.
    int m_nLeaveTo;
    int m_nLeaveDelay;
    int m_nChapterEnded;
    util::TVector<Character*> m_characters;
    util::Random m_random;
};
