// LanternfieldCanvas.h: the game's one canvas: the 66 rooms and which one
// is current, the six chapters, the dialogs, close-ups, inventory and
// characters bound from the data manifest, the progress record and profiles,
// the game states with the pause and the music, the named actions of the
// buttons, the input and cursors, the mini-game instructions and the Lua
// face of the global `canvas`.
#pragma once

#include "core/lang/String.h"
#include "game/progress/PlayerProfile.h"
#include "sprites/canvas/GameCanvas3.h"

#include <atomic>
#include <string>

struct luaL_Reg;

namespace lang {
class ByteArray;
} // namespace lang

namespace sprite {
class DialogSprite;
class SpriteBase;
class TransitionBase;
class User;
} // namespace sprite

namespace window {
class AudioClip;
class Event;
} // namespace window

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
    // The dialogs' places in their table (kDialogNames).
    static constexpr int DIALOG_MAIN_MENU = 0;
    static constexpr int DIALOG_OPTIONS = 1;
    static constexpr int DIALOG_INSTRUCTIONS = 2;
    static constexpr int DIALOG_GAME_INSTRUCTIONS = 3;
    static constexpr int DIALOG_BOOK = 4;
    static constexpr int DIALOG_CHOOSE_PLAYER = 5;
    static constexpr int DIALOG_PUZZLE_CHEATS = 6;
    // The close-ups' places in their table (kCloseUpNames).
    static constexpr int CLOSE_UP_PIPES = 0;
    static constexpr int CLOSE_UP_PEGS = 1;
    static constexpr int CLOSE_UP_CIRCUIT_BOARD = 5;
    static constexpr int CLOSE_UP_SAFE_CRACK = 6;
    // Rooms with a meaning of their own.
    static constexpr int ROOM_MARKET_PLACE = 2;
    static constexpr int ROOM_FOUNTAIN_CU = 7;
    static constexpr int ROOM_VIGNETTE = 9;
    static constexpr int ROOM_LEVEL_COMPLETE = 23;
    static constexpr int ROOM_VIGNETTE_INTRO = 24;
    static constexpr int ROOM_STORY_INTRO = 65;
    // Entries of the canvas's sound table: the click of every button, the
    // refusal of an item offered where it is no use, and the main menu's
    // looping sound, stopped when a game is entered.
    static constexpr int SOUND_CLICK = 0;
    static constexpr int SOUND_INVALID_ITEM = 22;
    static constexpr int SOUND_MENU_LOOP = 263;
    // Rooms that take keys, and the cut-scene room that keeps "Quit" hidden.
    static constexpr int ROOM_ART_RESTORATION = 19;
    static constexpr int ROOM_MAZE = 20;
    static constexpr int ROOM_TAVERN_INTERIOR = 11;
    static constexpr int ROOM_INLAY = 34;
    // The close-ups' host rooms.
    static constexpr int ROOM_OUTER_VILLAGE_1 = 40;
    static constexpr int ROOM_DIVE_DOCK_INTERIOR = 49;
    static constexpr int ROOM_MANSION_STUDY = 51;
    static constexpr int ROOM_TEMPLE_DOOR_PUZZLE = 61;
    // The "DimFull" fade of a chapter start.
    static constexpr int CHAPTER_FADE_FRAMES = 30;
    // Cursor indexes: the eight exit directions 0 to 7, the normal pointer,
    // the hand, the special cursors 10 to 57 with an item or tool on them,
    // and the hidden cursor.
    static constexpr int CURSOR_NORMAL = 8;
    static constexpr int CURSOR_HAND = 9;
    static constexpr int FIRST_SPECIAL_CURSOR = 10;
    static constexpr int CURSOR_PAINTBRUSH = 42;
    static constexpr int CURSOR_HIDDEN = 58;
    static constexpr int CURSOR_COUNT = 59;
    // The mini-games with an instructions panel: 0 to 17.
    static constexpr int GAME_COUNT = 18;
    // The "DimFull" fades of the menu's start and continue.
    static constexpr int FADE_OUT_FRAMES = 20;
    static constexpr int FADE_OUT_NEXT_STEP = 21;
    static constexpr int FADE_IN_FRAMES = 25;

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
        // The pipes close-up opens over the fountain close-up.
        void (*growPipes)(sprite::DialogSprite* pipes) = nullptr;
        // The art restoration room's tiles go back to their start.
        void (*clearTiles)(Room* artRestoration) = nullptr;
        // The circuit board grows open from (722, 250) over its host room;
        // shrinks closed.
        void (*openCircuitBoard)(sprite::DialogSprite* board, Room* host) = nullptr;
        void (*closeCircuitBoard)(sprite::DialogSprite* board) = nullptr;
        // Peg puzzle 1 to 3 grows open from (x, y) over its host room;
        // shrinks closed.
        void (*openPegs)(sprite::DialogSprite* pegs, int puzzle, int x, int y, Room* host) = nullptr;
        void (*closePegs)(sprite::DialogSprite* pegs) = nullptr;
        // The safe grows open from (152, 358) over its host room; closes.
        void (*openSafeCrack)(sprite::DialogSprite* safe, Room* host) = nullptr;
        void (*closeSafeCrack)(sprite::DialogSprite* safe) = nullptr;
        // Builds the board of temple-door puzzle n in its room.
        void (*setupTempleDoorPuzzle)(Room* room, int puzzle) = nullptr;
    };
    static SceneHooks sceneHooks;

    // Set-up (LanternfieldCanvasSetup.cpp).
    void init(const lang::String& codeBase, sprite::User* user, const lang::String& dataFile, int unused) override;
    // The music clip, the volumes and the loading music; false never.
    bool preLoad() override;
    // On the loader thread: makes and loads the music clip, starts the
    // loading music, and only then hands the clip over to the window's
    // thread (whose activation loops it).
    bool initSound();
    // Called, when set, on the loader thread in initSound once the music
    // clip is made and before it is loaded and handed over: a test holds
    // the loader there.
    static void (*musicClipMade)();
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

    // Chapters and room changes (LanternfieldCanvasRooms.cpp). A chapter
    // starts, and the menu opens, with no close-up left over the screen.
    void startChapter();
    int getChapterStartRoom();
    void playChapterVignette();
    void setEndGameVignette();
    void setVignetteSeen(int chapter);
    void setVignetteNotSeen(int chapter);
    // A chapter played over from its start: its cut scene and those of the
    // chapters after it are to be seen again (the world is reset with it, so
    // the later chapters start afresh too).
    void setChaptersNotSeenFrom(int chapter);
    int getVignetteSeen(int chapter);
    void advanceChapter();
    void enterGame(int index);
    void exitToMenu();
    void leaveRoomAndSave();
    void changeRoom(int index);
    // The developer's jump: ends in that room, playing, also when the jump
    // screen was opened over the pause book or the main menu; the chapter
    // counts begun, so that a restart continues it there.
    void jumpToRoom(int index);
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
    // The close-ups the scripts and the jump screen open and close: peg
    // puzzle n (1 to 3) over its outer village, the safe's close, the
    // temple-door room's board n.
    void enterPegsCU(int n);
    void exitSafeCrack();
    void setupTempleDoorPuzzle(int n);
    // Closes every close-up still open at once (each by its closeNow), and
    // hides the mini-game instructions and the how-to-play dialog: the jump
    // screen, a chapter's start and the way to the menu leave the room under
    // them without their own way out.
    void hideCloseUps();

    // Game state, pause and music (LanternfieldCanvasState.cpp).
    void setGameState(int state);
    int getGameState() const { return m_nGameState; }
    int getPreviousGameState() const { return m_nPreviousGameState; }
    // Loads the music (a stream) unless it plays already, sets the music
    // volume and loops it; the name that played before, which is kept.
    lang::String setBackgroundMusic(const lang::String& name);
    void setChapterBackgroundMusic(int chapter);
    lang::String chapterMusicName(int chapter);
    lang::String getChapterMusicName(int chapter) { return chapterMusicName(chapter); }
    // The scripts change the music ("LF_replaceMusic").
    void replaceMusic(const lang::String& name);
    // The kept music plays again, once.
    void revertBackgroundMusic();
    void fadeMusic(int target, int frames);
    window::AudioClip* getMusicClip() const { return m_pMusicClip.load(); }
    const lang::String& getKeptMusicName() const { return m_musicName; }
    void setNoMusic(bool on) { m_bNoMusic = on; }
    bool isNoMusic() const { return m_bNoMusic; }
    // "VOLUMEFX" (170) and "VOLUMEMUSIC" (85), read each time.
    int getFXVolume();
    int getMusicVolume();

    // Progress record and profiles (LanternfieldCanvasProfiles.cpp).
    void resetProgress();
    // Reads the current profile's record and script state; true when both
    // were taken in. A story that is not taken is first kept beside the
    // settings file, and the profile is then saved with the chapter to
    // start again; one that cannot be kept so, or whose check the game's
    // close cut short, stays stored, and no save of this player replaces it.
    bool loadProfile();
    // Writes the record and the script state of the current profile, in one
    // write of the settings file: both or neither, so that when the script
    // state cannot be had ("LF_save" fails or is stopped) or stored whole,
    // the last whole save stays. Nothing without a profile. Whether the
    // progress reached the settings file, or stays there as it was read
    // because the player's stored story was not taken.
    bool saveProfile();
    // Why the last save of a player's progress did not reach the settings
    // file ("" when it did): the closing game says so and ends with an
    // error.
    const std::string& lastSaveFailure() const { return m_lastSaveFailure; }
    // The save when the program closes: the room is left (unless
    // `leaveRoom` is false), then saved.
    void saveOnExit(bool leaveRoom = true);
    // The player chose a profile in the selection dialog.
    void chooseProfile(const lang::String& name);
    // The player selection over the dimmed screen with that profile chosen
    // ("" opens its new-profile prompt).
    void openPlayerSelection(const lang::String& profile);
    // A valid profile name: 1 to 8 name characters, not only blanks.
    static bool isValidProfileName(const lang::String& name);

    // Named actions (LanternfieldCanvasActions.cpp).
    void handleAction(lang::Object* receiver, lang::String* command) override;
    void showIntro();
    void leaveGameScreen(int chapter, bool puzzleActive);
    void setQuitVisible(bool visible);
    void enableQuitButton(bool enable);
    // The web link: full screen is left and the address opens in a browser.
    void openWebLink();
    // The address of the web link: "VISITURL", or the built-in one.
    lang::String getWebLinkAddress();

    // Frame, focus, input and debug keys (LanternfieldCanvasInput.cpp).
    void onFocusLost() override;
    void setActive(bool active) override;
    void doFrame() override;
    bool processEvent() override;
    bool onMouseDown(window::Event* e, lang::Object** receiver, lang::String* command) override;
    bool onMouseMove(window::Event* e, lang::Object** receiver, lang::String* command) override;
    bool onKey(window::Event* e, lang::Object** receiver, lang::String* command) override;
    // Esc reaches the new-player prompt while it is open: it cancels it.
    bool takesEscape() override;
    bool isPausePending() const { return m_bPausePending; }
    int getLastKey() const { return static_cast<unsigned char>(m_cLastKey); }
    bool isMouseReadout() const { return m_bMouseReadout; }
    // The step of the debug scale pulse of the how-to-play dialog.
    static double debugScaleStep;

    // Cursors (LanternfieldCanvasCursors.cpp).
    static int cursorIndexOf(const lang::String& name);
    static lang::String cursorNameOf(int index);
    using window::Component::setCursor;
    // An ordinary cursor (0 to 9) or the hidden one (58).
    void setCursor(int index, bool lock);
    // A special cursor (10 to 57); `frame` counts for the paintbrush only.
    void setSpecialCursor(int index, bool heldItem, int frame);
    void dropSpecialCursor();
    // Sound 22, then dropSpecialCursor.
    void dropInvalidCursorItem();
    bool hasItemOnCursor() const { return m_nItemOnCursor != -1; }
    bool isHeldItemOnCursor() const { return hasItemOnCursor() && m_bHeldItem; }
    sprite::SpriteBase* getHeldItemSprite();
    // Puts a cursor picture (an archive image with an optional alpha mask,
    // a grid of frames) on "GameCursor".
    void loadCursorImage(const lang::String& image, const lang::String& mask, int columns, int rows, int frame);
    void showCursorSprite(bool show);
    // Places "GameCursor" for the pointer at (x, y).
    void positionCursorImage(int x, int y);
    bool isCursorLocked() const { return m_bCursorLock; }
    int getSpecialFrame() const { return m_nSpecialFrame; }
    sprite::SpriteBase* getCursorSprite() const { return m_pGameCursor; }

    // Game instructions (LanternfieldCanvasInstructions.cpp).
    bool getShowGameInstructions(int game);
    void setShowGameInstructions(int game, bool show);
    void queueGameInstructions(int x, int y, int game, int delay);
    void showGameInstructions(int x, int y, int game, bool show, bool grow, int steps, int originX, int originY,
                              float startScale, float endScale);
    bool isGameInstructionsShowing();
    bool isGameInsQuestionMarkShowing();
    void showGameInsQuestionMark();
    void disableGameInsQuestionMark();
    bool isOverGameInsQuestionMark(int x, int y);
    // Whether a press there meets what an open mini-game instructions
    // panel covers (not the panel, nor a dialog put over it).
    bool isCoveredByGameInstructions(int x, int y);
    void showGameInsDimmer(bool show);
    void setGameInstructionsInfo(int game, int x, int y);
    void getGameInstructionsInfo(int& game, int& x, int& y) const;
    int getGameInstructionsGame() const { return m_nInstructionsGame; }

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
    // "DimFull" darkens from alpha 0 to 128; `next` follows after 21 frames.
    void fadeOutToDim(const char* next);
    // The game's own handling of a command; false for one it leaves to the
    // framework canvas.
    bool handleGameAction(lang::Object* receiver, const lang::String& command);
    // The menu's start, continue and chapter-book commands.
    void startFromMenu(const lang::String& command);
    // The cursor the mouse-move handler chooses (steps 2 to 8).
    void chooseCursor(window::Event* e, const lang::String& cursorName);
    // The item on the cursor, drawn again from the stored values.
    void restoreSpecialCursor();
    // The debug keys; true when the key was one.
    bool handleDebugKey(int key);
    // Opens the profile store on the profile's sub-key.
    void openProfileStore(const lang::String& name);
    enum StoryRestore {
        STORY_TAKEN,
        // Not taken; the stored story must stay as it is.
        STORY_KEPT,
        // Refused, and kept in a file beside the settings: a save may
        // replace the stored one.
        STORY_SET_ASIDE,
    };
    // Takes the profile's saved story text back into the story table, when
    // its save can store it and take it back; one that is not taken is told
    // on stderr (a failing text in a "readProfileData" box too).
    StoryRestore restoreStory(const lang::ByteArray& script);

    ProgressRecord* m_pProgress;
    char m_cLastKey;
    int m_nGameState;
    int m_nPreviousGameState;
    bool m_bResetGame;
    sprite::User* m_pProfileStore;
    lang::String m_profileName;
    // The profile as this copy read it: its saves go there alone.
    PlayerProfile m_playedProfile;
    // The player's stored story was not taken and stays as it is (the game
    // closed while it was checked, or a refused one could not be kept
    // aside): no save writes over it.
    bool m_bStoredStoryKept = false;
    // See lastSaveFailure.
    std::string m_lastSaveFailure;
    bool m_bPausePending;
    // Null until the loader has made and loaded it; then the window's thread
    // loops it on an activation while the loader goes on.
    std::atomic<window::AudioClip*> m_pMusicClip;
    // The music that played before the last change of background music.
    lang::String m_musicName;
    // Set by the scripts (the loader's too), read on an activation.
    std::atomic<bool> m_bNoMusic;
    int m_nPendingRoom;
    int m_nCurrentCursor;
    bool m_bCursorLock;
    bool m_bHeldItem;
    sprite::SpriteBase* m_pGameCursor;
    int m_nItemOnCursor;
    int m_nSpecialFrame;
    // The cursor whose picture "GameCursor" shows, and its frame (-1: all).
    int m_nCursorPicture;
    int m_nCursorPictureFrame;
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
