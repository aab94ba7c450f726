// LanternfieldCanvas.h: the game's one canvas: the 66 rooms and which one
// is current, the six chapters, the dialogs, close-ups, inventory and
// characters bound from the data manifest, the progress record and profile,
// the game state, the music and the cursor state.
#pragma once

#include "core/lang/String.h"
#include "sprites/canvas/GameCanvas3.h"

struct luaL_Reg;

namespace sprite {
class DialogSprite;
class SpriteBase;
class TransitionBase;
class User;
} // namespace sprite

namespace window {
class AudioClip;
}

class AmbientAnimManager;
class AmbientSoundManager;
class Character;
class Inventory;
class Room;
class TalkBalloon;
struct ProgressRecord;

// The settings every exit transition is made from (set once, at construction).
struct DoorTransitionSettings {
    int type = 100; // a wipe
    bool srcMoves = false;
    bool fade = true;
    bool tint = false;
    int mosaicColumns = 10;
    int mosaicRows = 6;
    int mosaicStyle = 0;
    int mosaicRemoval = 0;
    int mosaicTilesPerFrame = 4;
    int maskLayers = 1;
    bool reverse = false;
};

class LanternfieldCanvas : public sprite::GameCanvas3 {
public:
    // Game states.
    static constexpr int STATE_PLAYING = 0;
    static constexpr int STATE_PAUSED = 1;
    static constexpr int STATE_MAIN_MENU = 4;
    static constexpr int STATE_LOADING = 5;

    static constexpr int ROOM_COUNT = 66;
    static constexpr int CHARACTER_COUNT = 13;
    static constexpr int DIALOG_COUNT = 7;
    static constexpr int CLOSE_UP_COUNT = 7;
    static constexpr int BALLOON_SPRITE_COUNT = 11;
    // Rooms with a meaning of their own.
    static constexpr int ROOM_MARKET_PLACE = 2;
    static constexpr int ROOM_FOUNTAIN_CU = 7;
    static constexpr int ROOM_VIGNETTE = 9;
    static constexpr int ROOM_LEVEL_COMPLETE = 23;
    static constexpr int ROOM_VIGNETTE_INTRO = 24;
    static constexpr int ROOM_STORY_INTRO = 65;
    static constexpr int ROOM_ART_RESTORATION = 19;
    // The main menu's looping sound, stopped when a game is entered.
    static constexpr int SOUND_MENU_LOOP = 263;
    // The "DimFull" fade of a chapter start.
    static constexpr int CHAPTER_FADE_FRAMES = 30;
    // The cursor index at construction (the normal pointer).
    static constexpr int CURSOR_NORMAL = 8;
    // The cursor index that shows no cursor at all.
    static constexpr int CURSOR_HIDDEN = 58;

    // The names of the rooms table, by index; the names of the thirteen
    // characters, the seven dialogs, the seven close-ups and the eleven
    // balloon sprites, in the order of their fields.
    static const char* const kRoomNames[ROOM_COUNT];
    static const char* const kCharacterNames[CHARACTER_COUNT];
    static const char* const kDialogNames[DIALOG_COUNT];
    static const char* const kCloseUpNames[CLOSE_UP_COUNT];
    static const char* const kBalloonSpriteNames[BALLOON_SPRITE_COUNT];

    // The Lua face: hv.LanternfieldCanvas, based on the framework canvas's.
    static const char kMetatable[];
    static const char kScriptFile[];
    static const char kLuaClassName[];
    // The script run after the rooms' scripts and at every reset of the world.
    static const char kGameScript[];

    // Loading state, no room, the normal cursor; publishes the instance.
    LanternfieldCanvas();
    // Releases the music clip, the ambient managers, the progress record and
    // the profile store.
    ~LanternfieldCanvas() override;

    HV_CLASS_NAME("LanternfieldCanvas", sprite::GameCanvas3)

    // The canvas every game class reaches (null before one is made).
    static LanternfieldCanvas* instance;

    // Operations of scene classes that the canvas calls by way of these
    // hooks, which the scenes set when they register their classes; a hook
    // that is not set does nothing.
    struct SceneHooks {
        // The pipes close-up puts its pipes back to their start.
        void (*resetPipes)(sprite::DialogSprite* pipes) = nullptr;
        // The pipes close-up opens over the fountain room.
        void (*growPipes)(sprite::DialogSprite* pipes) = nullptr;
        // The safe close-up closes.
        void (*closeSafeCrack)(sprite::DialogSprite* safe) = nullptr;
        // The temple-door room builds the board of puzzle n.
        void (*setupTempleDoorPuzzle)(Room* room, int n) = nullptr;
        // Peg puzzle 1 to 3 grows open from (x, y) over its host room;
        // shrinks closed.
        void (*openPegs)(sprite::DialogSprite* pegs, int puzzle, int x, int y, Room* host) = nullptr;
        void (*closePegs)(sprite::DialogSprite* pegs) = nullptr;
        // The art restoration room's tiles go back to their start.
        void (*clearTiles)(Room* artRestoration) = nullptr;
    };
    static SceneHooks sceneHooks;

    // Set-up (LanternfieldCanvasSetup.cpp).
    void init(const lang::String& codeBase, sprite::User* user, const lang::String& dataFile, int unused) override;
    // The music clip, the volumes and the loading music; false never.
    bool preLoad() override;
    bool initSound();
    // Binds every named object of the loaded manifest, runs the scripts and
    // opens the main menu. A required name the data lacks fails the set-up:
    // the failure is reported, nothing is bound, and the canvas stays
    // unloaded so that the loader closes the window.
    void setupGame(sprite::DataLoader* loader) override;
    // The manifest and then the set-up; false when either failed.
    bool loadData() override;
    // Whether the last setupGame bound everything, and what it missed.
    bool isSetUp() const { return m_bSetUp; }
    const lang::String& getSetupError() const { return m_setupError; }

    // The rooms table (LanternfieldCanvas.cpp).
    Room* getRoom(int index);
    int findRoomIndex(const lang::String& name);
    void callOnAllRooms();
    Character* getPlayerCharacter();
    Character* findCharacter(const lang::String& name);
    void addCharacterToScreen(Character* character);
    void removeCharacterFromScreen(const lang::String& name);
    void hideGlobalISpyList();
    void hideFlowerISpyList();
    void hideAllScreens();
    // The current room of the progress record, or null.
    Room* getCurrentRoom();
    int getCurrentRoomIndex() const;
    // Shows or hides a canvas sprite by name; nothing for an unknown name.
    void showSprite(const char* name, bool visible);
    // The sprite is on screen (visible).
    bool isSpriteVisible(const char* name);

    // Chapters and room changes (LanternfieldCanvasRooms.cpp).
    void startChapter();
    int getChapterStartRoom();
    void playChapterVignette();
    void setEndGameVignette();
    void setVignetteSeen(int chapter);
    void setVignetteNotSeen(int chapter);
    int getVignetteSeen(int chapter);
    void advanceChapter();
    void enterGame(int index);
    void exitToMenu();
    void leaveRoomAndSave();
    void changeRoom(int index);
    void enterRoom(int index);
    void leaveCurrentRoom();
    void requestRoomChange(int index);
    // At the transition's change point (its first captured layer): the
    // pending room change.
    void processPendingRoom(int state);
    void afterTransitionPaint(int layer) override;
    // The running transition ended: the current room takes input again.
    void onTransitionFinished() override;
    void setPuzzleActive(bool active);
    bool isPuzzleActive() const { return m_bPuzzleActive; }
    void setTalkingCharacter(Character* character) { m_pTalkingCharacter = character; }
    Character* getTalkingCharacter() const { return m_pTalkingCharacter; }
    void resetGameWorld();

    // Game state, music, profile and cursor operations that the room
    // changes rely on (LanternfieldCanvasState.cpp).
    void setGameState(int state);
    int getGameState() const { return m_nGameState; }
    int getPreviousGameState() const { return m_nPreviousGameState; }
    lang::String setBackgroundMusic(const lang::String& name);
    lang::String chapterMusicName(int chapter);
    void replaceMusic(const lang::String& name);
    window::AudioClip* getMusicClip() const { return m_pMusicClip; }
    int getFXVolume();
    int getMusicVolume();
    void resetProgress();
    bool loadProfile();
    void saveProfile();
    // The save when the program closes: the room is left, then saved.
    void saveOnExit();
    void dropSpecialCursor();
    // The cursor table's index of a name (8 for an unknown one) and back
    // ("" outside 0 to 56).
    static int cursorIndexOf(const lang::String& name);
    static lang::String cursorNameOf(int index);
    // The cursors in reduced form until their pictures are built: the index,
    // the lock and the item on the cursor are kept, no picture is loaded.
    // An ordinary cursor (0 to 9) or "hidden" (58), with the lock that keeps
    // the pointer's moves from replacing it.
    void setCursor(int index, bool lock);
    using sprite::GameCanvas3::setCursor;
    bool isCursorLocked() const { return m_bCursorLock; }
    // An item or tool hangs on the pointer (indexes 10 to 57); heldItem when
    // it was taken out of the inventory bar.
    void setSpecialCursor(int index, bool heldItem, int frame);
    // Sound 22, then the special cursor is dropped.
    void dropInvalidCursorItem();
    // Places the cursor's picture for the pointer at (x, y).
    void positionCursorImage(int x, int y);
    bool hasItemOnCursor() const { return m_nItemOnCursor != -1; }
    bool isHeldItemOnCursor() const { return hasItemOnCursor() && m_bHeldItem; }
    sprite::SpriteBase* getHeldItemSprite();
    void setGameInstructionsInfo(int game, int x, int y);
    int getGameInstructionsGame() const { return m_nInstructionsGame; }
    void getGameInstructionsInfo(int& game, int& x, int& y) const
    {
        game = m_nInstructionsGame;
        x = m_nInstructionsX;
        y = m_nInstructionsY;
    }
    // The scripts' flag that a mini-game's panel is still to show by itself
    // (games 0 to 17).
    bool getShowGameInstructions(int game);
    void setShowGameInstructions(int game, bool show);
    // Opens the panel of a game after `delay` frames while the scripts ask
    // for it, else only offers its question mark.
    void queueGameInstructions(int x, int y, int game, int delay);
    // The flag that keeps a change of game state from restarting the
    // background music; nothing restarts it yet.
    void setNoMusic(bool) {}
    // Opens (grown or at once) or closes the instructions panel of a game,
    // or only offers its question mark once the panel has been seen.
    void showGameInstructions(int x, int y, int game, bool show, bool grow, int steps, int originX, int originY,
                              float startScale, float endScale);
    void showGameInsDimmer(bool show);
    bool isGameInstructionsShowing();
    void showGameInsQuestionMark();
    void disableGameInsQuestionMark();
    // The question mark is visible and its button holds the point.
    bool isOverGameInsQuestionMark(int x, int y);
    // The close-ups the scripts and the jump screen open and close.
    void enterPegsCU(int n);
    void exitSafeCrack();
    void setupTempleDoorPuzzle(int n);
    void handleAction(lang::Object* receiver, lang::String* command) override;
    // The dialogs' keys; in debug mode then 'c', which opens the jump screen
    // over the current room.
    bool onKey(window::Event* e, lang::Object** receiver, lang::String* command) override;
    // The ambient animals and sounds, then the framework's frame.
    void doFrame() override;

    ProgressRecord* getProgress() const { return m_pProgress; }
    sprite::User* getProfileStore() const { return m_pProfileStore; }
    const lang::String& getProfileName() const { return m_profileName; }
    void setProfileName(const lang::String& name) { m_profileName = name; }
    bool isResetGame() const { return m_bResetGame; }
    void setResetGame(bool on) { m_bResetGame = on; }
    int getPendingRoom() const { return m_nPendingRoom; }
    void setPendingRoom(int room) { m_nPendingRoom = room; }
    bool isInTransition() const { return m_bInTransition; }
    void setInTransition(bool on) { m_bInTransition = on; }
    int getCurrentCursor() const { return m_nCurrentCursor; }
    int getItemOnCursor() const { return m_nItemOnCursor; }
    void setItemOnCursor(int item, bool held)
    {
        m_nItemOnCursor = item;
        m_bHeldItem = held;
    }
    const DoorTransitionSettings& getDoorTransitionSettings() const { return m_doorTransition; }
    Inventory* getInventory() const { return m_pInventory; }
    sprite::DialogSprite* getDialog(int i) const { return i >= 0 && i < DIALOG_COUNT ? m_dialogs[i] : nullptr; }
    sprite::DialogSprite* getCloseUp(int i) const
    {
        return i >= 0 && i < CLOSE_UP_COUNT ? m_closeUps[i] : nullptr;
    }
    Character* getCharacter(int i) const { return i >= 0 && i < CHARACTER_COUNT ? m_characters[i] : nullptr; }
    AmbientAnimManager* getAmbientAnimManager() const { return m_pAmbientAnims; }
    AmbientSoundManager* getAmbientSoundManager() const { return m_pAmbientSounds; }

    // The native methods of hv.LanternfieldCanvas, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // Binding helpers of setupGame: every required name is checked first,
    // so that a failed set-up binds nothing.
    bool checkRequiredNames();
    void bindObjects();
    void setUpCharacters();
    // The number at `index` of the manifest's <data> section, or 0.
    int dataNumber(int index);

    // Starts the "DimFull" fade from alpha 128 to 0 and the "TransitionDone"
    // that ends it.
    void fadeInFromDim(int frames);

    ProgressRecord* m_pProgress;
    char m_cLastKey;
    int m_nGameState;
    int m_nPreviousGameState;
    bool m_bResetGame;
    sprite::User* m_pProfileStore;
    lang::String m_profileName;
    bool m_bPausePending;
    window::AudioClip* m_pMusicClip;
    lang::String m_musicName;
    int m_nPendingRoom;
    int m_nCurrentCursor;
    bool m_bCursorLock;
    bool m_bHeldItem;
    sprite::SpriteBase* m_pGameCursor;
    int m_nItemOnCursor;
    int m_nSpecialFrame;
    int m_nInstructionsGame;
    int m_nInstructionsX;
    int m_nInstructionsY;
    bool m_bPuzzleActive;
    bool m_bMouseReadout;
    bool m_bQuitWasVisible;
    sprite::DialogSprite* m_dialogs[DIALOG_COUNT];
    Inventory* m_pInventory;
    sprite::DialogSprite* m_closeUps[CLOSE_UP_COUNT];
    Room* m_rooms[ROOM_COUNT];
    Character* m_characters[CHARACTER_COUNT];
    sprite::SpriteBase* m_balloonSprites[BALLOON_SPRITE_COUNT];
    Character* m_pTalkingCharacter;
    AmbientAnimManager* m_pAmbientAnims;
    AmbientSoundManager* m_pAmbientSounds;
    bool m_bInTransition;
    int m_nQueuedGame;
    int m_nQueuedX;
    int m_nQueuedY;
    DoorTransitionSettings m_doorTransition;
    // Set by a setupGame that bound every required name.
    bool m_bSetUp;
    lang::String m_setupError;
};
