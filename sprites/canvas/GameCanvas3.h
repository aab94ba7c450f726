// GameCanvas3.h: the component the whole game runs on after loading: the
// root sprite list and its name table, the input queue drained by the 16 ms
// game timer, the 40 ms logic frame with its scheduled actions, the running
// screen transition, the sound table with its fades, painting, and the
// canvas's Lua object (the global `canvas`).
#pragma once

#include "core/lang/IntArray.h"
#include "core/lang/ObjectArray.h"
#include "core/lang/String.h"
#include "core/lang/Timer.h"
#include "core/util/Vector.h"
#include "windowing/window/Component.h"

#include <atomic>

struct lua_State;
struct luaL_Reg;

namespace util {
class Hashtable;
}

namespace window {
class AudioClip;
class Event;
class Graphics;
} // namespace window

namespace sprite {

class DataLoader;
class DialogSprite;
class SpriteBase;
class TransitionBase;
class User;

class GameCanvas3 : public window::Component {
public:
    class FrameNotify;

    // The logic frame period in milliseconds (25 frames a second).
    static constexpr int FRAME_PERIOD_MS = 40;

    // Flags of scheduleAction.
    static constexpr int ACTION_SECONDS = 1;     // the delay is in seconds
    static constexpr int ACTION_REUSE = 2;       // update an entry with the same command
    static constexpr int ACTION_REPEAT = 4;      // fire every period
    static constexpr int ACTION_REMOVE = 8;      // remove the entries with the same command
    static constexpr int ACTION_MATCH_BOTH = 16; // entries match only with the same parameter and target

    // The screen a Lua transition covers.
    static constexpr int SCREEN_WIDTH = 800;
    static constexpr int SCREEN_HEIGHT = 600;

    // The Lua face: the metatable, the script that extends it and the name of
    // its script table hv.Canvas.
    static const char kMetatable[];
    static const char kScriptFile[];
    static const char kLuaClassName[];

    // Sounds enabled, ready, not started; with a script host, the Lua table
    // becomes the global `canvas`.
    GameCanvas3();
    // shutdown, then every reference the canvas holds.
    ~GameCanvas3() override;

    HV_CLASS_NAME("GameCanvas3", window::Component)

    // Component: pointer input is posted to the queue; keys are posted
    // unless they are Esc (27), which the frame handles while the canvas
    // does not take it (takesEscape).
    bool mouseDown(window::Event* e, int x, int y) override;
    bool mouseUp(window::Event* e, int x, int y) override;
    bool mouseMove(window::Event* e, int x, int y) override;
    bool mouseDrag(window::Event* e, int x, int y) override;
    bool keyDown(window::Event* e, int key) override;
    bool keyUp(window::Event* e, int key) override;
    // Whether Esc is queued like any key instead of being left to the frame:
    // never in the framework; a game takes it while a dialog of its own
    // answers it.
    virtual bool takesEscape() { return false; }
    // Not started: the background; started: the canvas marks itself dirty
    // and paints a frame.
    void paint(window::Graphics* g) override;
    void update(window::Graphics* g) override;
    // WM_PAINT is handled under the canvas monitor.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // An action event (its argument a String) goes to handleAction at once.
    bool handleEvent(window::Event* e) override;

    // Keeps the program directory, the data-file name and the settings store.
    virtual void init(const lang::String& codeBase, User* user, const lang::String& dataFile, int unused);
    // On the loader thread: counts and loads the data manifest, takes over
    // what it made, waits until the canvas is ready and sets the game up.
    // False when the manifest did not load.
    virtual bool loadData();
    // Asked by the manifest loader for each sprite entry; null lets the
    // loader build the sprite itself.
    virtual SpriteBase* createSprite(const lang::String& kind, lang::IntArray* numbers, lang::ObjectArray* images,
                                     DataLoader* loader);
    // Reads the text-list form of the data file: two text lists, the numbers
    // and the strings, each a count followed by its entries.
    virtual void readTextLists();
    // The game binds its rooms and dialogs here; the base marks the data loaded.
    virtual void setupGame(DataLoader* loader);
    // The sound table becomes a copy of `sounds`; the text lists are emptied.
    virtual void setSoundTableAndReset(lang::ObjectArray* sounds);
    virtual lang::ObjectArray* getTextListB();
    virtual lang::ObjectArray* getTextListA();
    // Runs on the loader thread before loading; false stops the loading.
    virtual bool preLoad();
    virtual void start();
    virtual void onFocusLost();
    // Stops every sound, refuses input from now on and empties the queue.
    virtual void stop();
    // The parent frame's requestClose.
    virtual void requestExit();
    // stop, then every clip of the sound table lets go of its sound data.
    virtual void shutdown();
    virtual void setActive(bool active);
    // One logic frame.
    virtual void doFrame();
    // Delivers `command` to `target` (null: the canvas) after `delay` frames,
    // once or repeatedly (ACTION_* flags).
    virtual void scheduleAction(int delay, lang::String* command, int flags, lang::Object* parameter,
                                SpriteBase* target);
    virtual void setActionsPaused(bool paused);
    virtual void setSuspendLuaAnimations(bool suspend);
    // Switching off stops every clip of the sound table.
    virtual void setSoundsEnabled(bool on);
    virtual void playSound(window::AudioClip* clip);
    virtual void loopSound(window::AudioClip* clip);
    virtual void stopSound(window::AudioClip* clip);
    virtual void bendSound(window::AudioClip* clip, float factor, int steps);
    virtual void fadeSound(window::AudioClip* clip, int volume, int steps, bool pauseAtEnd);
    // The cursor commands, then the visible dialogs from the top.
    virtual void handleAction(lang::Object* receiver, lang::String* command);
    // Dispatches the current event; false when there was one and it led to
    // no command.
    virtual bool processEvent();
    // Input handlers: each may name a receiver (with a reference the caller
    // releases) and a command, and answers whether handleAction follows.
    virtual bool onMouseDown(window::Event* e, lang::Object** receiver, lang::String* command);
    virtual bool onMouseUp(window::Event* e, lang::Object** receiver, lang::String* command);
    virtual bool onMouseMove(window::Event* e, lang::Object** receiver, lang::String* command);
    virtual bool onKeyUp(window::Event* e, lang::Object** receiver, lang::String* command);
    virtual bool onKey(window::Event* e, lang::Object** receiver, lang::String* command);
    // One painted frame.
    virtual void paint();
    // Called after a finished transition was dropped.
    virtual void onTransitionFinished();
    // Called after the screen was captured into a layer of the transition.
    virtual void afterTransitionPaint(int layer);

    // The 16 ms tick of the game timer: the queued input, then at most one
    // logic frame and a paint.
    void onTimer();
    // Queues an input event (a reference is taken); false while not started,
    // while quitting, or for a null event.
    bool postEvent(window::Event* e);
    // Takes every queued event through processEvent.
    void drainEvents();

    // The hand-over of a successful manifest load: copies of the sounds,
    // strings and numbers, and the sprite list and name table themselves
    // (references added). Null arguments leave that part as it was.
    void takeLoadedData(util::Vector* sprites, util::Hashtable* names, lang::ObjectArray* sounds,
                        lang::ObjectArray* strings, lang::IntArray* numbers);

    // The sprite of that name (no reference added), or null.
    SpriteBase* getSprite(const char* name);
    // Puts the sprite at `index` of the root list (on top for a negative or
    // too large index) under `name`; a sprite already there moves.
    void addSprite(const char* name, SpriteBase* sprite, int index);
    // The same, just under `other` (at the bottom when other is not listed).
    void addSpriteBehind(const char* name, SpriteBase* sprite, SpriteBase* other);
    // Hides the sprite and drops its name; it leaves the root list at the
    // end of the current frame.
    void removeSprite(SpriteBase* sprite);
    // Root sprite `index` with a reference added, or null outside the list.
    SpriteBase* childAt(int index);
    int getChildCount();
    // The running screen transition; the old one is released.
    void setTransition(TransitionBase* transition);
    TransitionBase* getTransition() const { return m_pTransition; }
    void showWaitCursor();
    // A transition is set and not finished: input is ignored.
    bool isOverlayShowing();
    bool isTransitionRunning();
    bool isCapturePending();

    // The by-index sound calls; an index outside the table does nothing.
    void playSound(int index);
    void loopSound(int index);
    void stopSound(int index);
    void fadeSound(int index, int volume, int steps, bool pauseAtEnd);
    void bendSound(int index, float factor, int steps);
    window::AudioClip* getSound(int index);
    int getSoundCount() const { return m_sounds.length(); }
    bool areSoundsEnabled() const { return m_bSoundsEnabled; }
    int getFrameListenerCount();

    int getFrameCounter() const { return m_nFrameCounter; }
    double getCarry() const { return m_dCarry; }
    int getBehind() const { return m_nBehind; }
    double getFrameTime() const { return m_dFrameTime; }
    double getStartTime() const { return m_dStartTime; }
    bool isStarted() const { return m_bStarted; }
    bool isQuitting() const { return m_bQuitting; }
    bool isDirty() const { return m_bDirty; }
    void setDirty(bool dirty) { m_bDirty = dirty; }
    bool isDataLoaded() const { return m_bDataLoaded; }
    bool areActionsPaused() const { return m_bActionsPaused; }
    bool areLuaAnimationsSuspended() const { return m_bSuspendLuaAnimations; }
    bool hasLuaAnimations() const { return m_bHasLuaAnimations; }
    void setHasLuaAnimations(bool on) { m_bHasLuaAnimations = on; }
    bool getShowFrameRate() const { return m_bShowFrameRate; }
    void setShowFrameRate(bool on) { m_bShowFrameRate = on; }
    int getScheduledActionCount();
    const lang::String& getPressedButtonName() const { return m_pressedButtonName; }
    const lang::String& getCodeBase() const { return m_codeBase; }
    const lang::String& getDataFileName() const { return m_dataFileName; }
    const lang::String& getDestination() const { return m_destination; }
    void setDestination(const lang::String& destination) { m_destination = destination; }
    User* getUser() const { return m_pUser; }
    util::Vector* getRootList() const { return m_pRootList; }
    util::Hashtable* getNameTable() const { return m_pNameTable; }
    lang::ObjectArray* getManifestStrings() { return &m_manifestStrings; }
    lang::IntArray* getManifestNumbers() { return &m_manifestNumbers; }
    window::Event* getCurrentEvent() const { return m_pCurrentEvent; }
    int getLuaRef() const { return m_nLuaRef; }
    bool isReady() const { return m_bReady; }
    void setReady(bool ready) { m_bReady = ready; }
    // Written by the loader thread, read by the loading screen's paint.
    int getManifestTotal() const { return m_nManifestTotal; }
    void setManifestTotal(int total) { m_nManifestTotal = total; }
    // The loading screen's progress: entries loaded so far.
    int getEntriesLoaded() const { return m_nEntriesLoaded; }
    void addEntryLoaded() { ++m_nEntriesLoaded; }

    // The debug freeze: while set no logic frame runs by itself.
    static bool isFrozen() { return s_bFreeze; }
    static void setFrozen(bool frozen) { s_bFreeze = frozen; }

    // The native methods of hv.GameCanvas3, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // Fires the due scheduled actions (step 1 of a frame).
    void fireScheduledActions();
    // Steps every clip with a running fade or bend.
    void updateFrameListeners();
    // Calls the Lua table's "nextFrame" with the frame counter.
    void callLuaNextFrame();
    // The transition captures the screen into its pending layer.
    void paintTransition(window::Graphics* g);
    // The frame rate in the top-left corner, while switched on.
    void drawFps(window::Graphics* g);
    // Posts the show message to the canvas window once per process.
    void postPaintDone();
    // Settles a dialog's answer to translateCommand or filterCommand (which
    // wrote into *command): 0 the last command, 1 the translation, 2
    // "CLOSED", each with the dialog as receiver (returns 1); 3 no command
    // (returns 0); any other answer returns -1 and changes nothing.
    int settleDialogCommand(DialogSprite* dialog, int answer, const lang::String& lastCommand,
                            lang::Object** receiver, lang::String* command);
    // Removes the sprite from the root list and the removal list and drops
    // its name (when the name table maps it to this sprite).
    void unlinkSprite(SpriteBase* sprite);
    // Joins the per-frame listeners unless already there.
    void addFrameListener(window::AudioClip* clip);
    // Releases the strings of a text list and empties it.
    static void clearTexts(lang::ObjectArray& list);

    lang::ObjectArray m_textListA;
    lang::ObjectArray m_textListB;
    lang::ObjectArray m_manifestStrings;
    util::Hashtable* m_pNameTable;
    User* m_pUser;
    lang::String m_codeBase;
    lang::IntArray m_manifestNumbers;
    lang::String m_dataFileName;
    lang::ObjectArray m_sounds;
    lang::Timer m_timer;
    double m_dFrameTime;
    double m_dStartTime;
    double m_dCarry;
    int m_nFrameCounter;
    int m_nBehind;
    bool m_bShowFrameRate;
    util::Vector* m_pRootList;
    util::Vector m_removalList;
    util::Vector m_frameListeners;
    util::Vector m_scheduledActions;
    util::Vector m_eventQueue;
    window::Event* m_pCurrentEvent;
    lang::String m_pressedButtonName;
    // Both set by the loader thread while the window's thread repaints
    // (marks the canvas dirty) and asks whether the data is in.
    std::atomic<bool> m_bDataLoaded;
    bool m_bActionsPaused;
    bool m_bSuspendLuaAnimations;
    // Set by the loader thread at the hand-over (and the quitting flag by the
    // window's thread at a close) while the window's thread takes input.
    std::atomic<bool> m_bStarted;
    bool m_bSoundsEnabled;
    std::atomic<bool> m_bDirty;
    std::atomic<bool> m_bQuitting;
    lang::String m_destination;
    int m_nLuaRef;
    bool m_bHasLuaAnimations;
    TransitionBase* m_pTransition;
    std::atomic<int> m_nManifestTotal;
    std::atomic<int> m_nEntriesLoaded;
    std::atomic<bool> m_bReady;

    static bool s_bFreeze;
    // Set by the first paint of the process.
    static bool s_bShowPosted;
};

} // namespace sprite
