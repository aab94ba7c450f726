// Inventory.h: the inventory bar: the 22 items the player can hold, each at
// its fixed place in the bar and kept in step with the progress record;
// items taken out of the bar onto the cursor; the hint paper listing the
// player's tasks with its new-task banner; the item tool tips, the
// room-item tip, sparkles and the cave map. The scripts reach it as the Lua
// global `inventory`.
#pragma once

#include "core/lang/IntArray.h"
#include "core/lang/String.h"
#include "core/util/Random.h"
#include "core/util/TVector.h"
#include "core/util/Vector.h"
#include "sprites/dialogs/DialogSprite.h"

struct luaL_Reg;
struct ProgressRecord;

class Inventory : public sprite::DialogSprite {
public:
    // The fixed item list.
    static constexpr int ITEM_COUNT = 22;
    // One item: its name (that of its sprite in the bar), the chapter in
    // which it can be taken onto the cursor (0: never) and that cursor.
    struct ItemInfo {
        const char* name;
        int chapter;
        int cursor;
    };
    static const ItemInfo kItems[ITEM_COUNT];
    // The items whose mouse-over cursor enableItems switches to the hand.
    static const char* const kHandItems[8];
    // The cave positions that have map overlays.
    static constexpr int CAVE_POSITION_COUNT = 12;
    static const int kCavePositions[CAVE_POSITION_COUNT];

    // Hint states.
    static constexpr int HINTS_NONE = 0;
    static constexpr int HINTS_MOVING = 1;
    static constexpr int HINTS_RAISED = 2;
    static constexpr int HINTS_LOWERING = 3;
    static constexpr int HINTS_RESTING = 4;
    // Modes of changeHints.
    static constexpr int MODE_SET = 0;
    static constexpr int MODE_REPLACE = 1;
    static constexpr int MODE_REMOVE = 2;
    static constexpr int MODE_ADD = 3;
    static constexpr int MODE_SETTLE = 5;

    // Entries of the canvas's sound table.
    static constexpr int SOUND_PAPER_RAISE = 2;
    static constexpr int SOUND_PAPER_LOWER = 3;
    static constexpr int SOUND_PICK_UP = 23;
    static constexpr int SOUND_NEW_TASK = 27;

    // The Lua face: the class metatable, its script and its class name.
    static const char kMetatable[];
    static const char kScriptFile[];
    static const char kLuaClassName[];

    // A dialog hit-tested by its visible children, with nothing held, no
    // hints and no tip; its Lua table becomes the global `inventory`.
    Inventory();
    // Lets go of the item list, the hint texts and the sparkles.
    ~Inventory() override;

    HV_CLASS_NAME("Inventory", sprite::DialogSprite)
    HV_DECLARE_METACLASS(Inventory);

    // The item's index in the fixed list, or -1 for a name not in it.
    static int itemIndex(const lang::String& name);

    // The item fields of the progress record, by item name: the setters
    // change every entry of that name, the getters read false and 0 for a
    // name not in the list (and without a record).
    static void setItemOwned(ProgressRecord* record, const lang::String& name, bool owned);
    static void setItemValue(ProgressRecord* record, const lang::String& name, int value);
    static bool getItemOwned(ProgressRecord* record, const lang::String& name);
    static int getItemValue(ProgressRecord* record, const lang::String& name);

    // The bar. An item listed is held by the player and shows the next time
    // the bar is shown; a name without a sprite in the bar does nothing.
    void addItemToList(const lang::String& name);
    void removeItemFromList(const lang::String& name);
    bool hasItem(const lang::String& name);
    // Shows or hides the bar with its hint paper: shown, the listed items
    // show and the others are hidden; hidden, a moving paper settles at once.
    void setVisible(bool show) override;
    // Item tips, and the hand cursor over the items that can be taken.
    void enableItems(bool enable);
    // The bar goes back to where its definition placed it.
    void setToOrigin();
    // The dialog's set-up, then the definition's numbers and the home position.
    void setDefinition(sprite::SpriteDefinition* definition) override;

    // The item goes onto the cursor (cursorIndex of the canvas's cursors);
    // an item held before goes back into the bar.
    void pickUpItem(const lang::String& name, int cursorIndex);
    // The held item shows in the bar again (when the player still holds it).
    void releaseHeldItem();
    // The item taken from the bar and hanging on the cursor, or null.
    sprite::SpriteBase* getHeldItem() const { return m_pHeldItem; }

    // A new game: no items, no hints, no tips, the cave map hidden.
    void reset();
    // The record takes each item sprite's frame.
    void storeProgress();
    // The bar and the hint list are rebuilt from the record.
    void restoreFromProgress();

    // Items onto the cursor, then the hint paper, then the dialog.
    int mouseDown(window::Event* e) override;
    // The dialog's release; an item this press took out of the bar and let
    // go over the room is used there (a drag out of the bar). An item the
    // bar keeps in this chapter, pressed and let go over the room, clicks
    // the room there: a drag onto the place where it is used works as the
    // click there does.
    int mouseUp(window::Event* e) override;
    // The paper's arrow, then the item tips, then the dialog.
    bool mouseMove(window::Event* e) override;
    // The preview hold of the hint paper, then the dialog.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // "cleanup" removes the sparkles.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The commands the hint paper, the banner and the sparkles send back
    // when their animations end; never consumed.
    bool handleEvent(window::Event* e) override;

    // The hint paper (InventoryHints.cpp). The canvas hands over the four
    // sprites after loading.
    void setHintSprites(sprite::SpriteBase* paper, sprite::SpriteBase* arrow, sprite::SpriteBase* hintText,
                        sprite::SpriteBase* newTask);
    // The text ids are text items "STR_HINT_<id>", the ids those of the
    // record's hint slots.
    void setHint(const lang::String& textId, int id);
    void addHint(const lang::String& textId, int id);
    void removeHint(const lang::String& textId, int id);
    // idOut leaves the record and idIn enters it; textA (the outgoing text)
    // leaves the list and textB takes the newest place.
    void replaceHint(const lang::String& textA, const lang::String& textB, int idIn, int idOut);
    void changeHints(int mode, const lang::String& textA, const lang::String& textB);
    // Each hint on a line of its own after "* ", an empty line between two.
    lang::String buildHintText();
    void showHintPaper(bool show);
    // A paper the player raised goes down to rest at once (a new room
    // begins with its people's faces clear); a preview lowers itself.
    void lowerHintPaper();
    // The screen point lies on the shown paper or its text.
    bool isOverHintPaper(int x, int y);
    // The paper to the bar's top + y, text and arrow in tow.
    void moveHintPaper(int y, int frames, const char* command);
    // The paper and the text to their own places, the arrow with the paper.
    void moveHintPaperAndText(int paperY, int textY, int frames, const char* command);
    // The banner fades in above y (a screen y), stays and fades out.
    void showNewTask(int y);

    // Tool tips, sparkles and the cave map (InventoryTips.cpp).
    // The screen point lies on an item shown in the bar or on the cave map.
    bool hitTestItems(int x, int y);
    // The item shown in the bar at the screen point, or null.
    sprite::SpriteBase* itemAt(int x, int y);
    bool isHoveringItem();
    void showItemTipAt(int x, int y, const lang::String& textId);
    void showItemTip(bool show);
    // The room-item tip shows the text item, "%1" replaced by the number
    // when it is above -1; slide glides it in from the right.
    void setRoomItemTip(const lang::String& textId, int number, bool slide);
    void stepHintDisplay(bool show);
    void sparkleInSprite(const lang::String& targetName, const lang::String& templateName);
    void removeSparkles();
    void showCaveMap(bool show);

    int getHintState() const { return m_nHintState; }
    int getHintCount() { return m_hints.size(); }
    // Hint text id i, newest first.
    lang::String getHintAt(int i);
    int getItemCount() { return m_items.size(); }
    sprite::SpriteBase* getItemAt(int i) { return m_items.elementAt(i); }
    bool isPreviewActive() const { return m_bPreviewActive; }
    bool isPreviewPending() const { return m_bPreviewPending; }
    int getPreviewCounter() const { return m_nPreviewCounter; }
    int getPaperRaisedY() const { return m_nPaperRaisedY; }
    int getTextRaisedY() const { return m_nTextRaisedY; }
    int getTipItem() const { return m_nTipItem; }
    bool isHovering() const { return m_bHovering; }
    bool isOverItem() const { return m_bOverItem; }
    bool areItemsEnabled() const { return m_bItemsEnabled; }
    bool getTipOffset() const { return m_bTipOffset; }
    void setTipOffset(bool on) { m_bTipOffset = on; }
    int getOriginX() const { return m_originX; }
    int getOriginY() const { return m_originY; }
    sprite::SpriteBase* getHintPaper() const { return m_pHintPaper; }
    util::Random& getRandom() { return m_random; }
    int getSparkleCount() { return m_sparkles.size(); }

    // A text sprite (a bitmap-font text) shows the text; other sprites do not.
    static void setText(sprite::SpriteBase* sprite, const lang::String& text);

    // The native methods of hv.Inventory (InventoryLua.cpp), ending with an
    // empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The progress record of the canvas, or null.
    static ProgressRecord* record();
    // The scripts' answers: whether the global I-Spy game runs, and the text
    // their function gives for a Lua item id ("" for none, also when the
    // scripts lack the function).
    static bool playingGlobalISpy();
    static lang::String scriptItemString(const char* function, int id);
    // The bar's sprite the scripts name for a Lua item id, or null.
    sprite::SpriteBase* scriptItem(int id);
    // Definition number i, 0 when the definition has fewer.
    int param(int i);
    // All four hint sprites were handed over.
    bool hintSpritesBound() const;
    // Takes an item under the press onto the cursor; whether one was taken.
    bool takeItemAt(window::Event* e);
    // The screen point lies on the shown bar: its shelf, an item or the
    // hint paper.
    bool isOnBar(int x, int y);
    // The press on the hint paper: 0 when it is not the paper's.
    int pressHintPaper(window::Event* e);
    // The arrow's look for the pointer (the first part of mouseMove).
    void hoverHintPaper(int x, int y);
    // The item tips for the pointer at (x, y) in the bar's frame; true when
    // a tip was just put up.
    bool hoverItems(int x, int y);
    // A hidden bar jumps a moving paper to the end of its move.
    void settleHintPaper();
    // The list and the text emptied, the paper hidden.
    void clearHintList();
    // The arrow shows frame n (when it is an animated sprite).
    void setArrowFrame(int frame);
    // The text sprite's end action.
    void setTextAction(const char* command);
    // Index of the text id in the hint list, or -1.
    int hintIndex(const lang::String& textId);
    // Replies to the commands of handleEvent, by the command's beginning.
    void hintCommand(const lang::String& command);
    void bannerCommand(const lang::String& command);

    // The item sprites the player holds, in the order they were added (borrowed).
    util::TVector<sprite::SpriteBase*> m_items;
    lang::IntArray m_params;
    // Text ids (lang::String) of the hints, newest first.
    util::Vector m_hints;
    bool m_bPreviewActive;
    bool m_bPreviewPending;
    int m_nPreviewCounter;
    int m_nPaperRaisedY;
    int m_nTextRaisedY;
    // How far below the paper's top its arrow is drawn, as laid out.
    int m_nArrowDrop;
    int m_nHintState;
    int m_nTipItem;
    int m_originX;
    int m_originY;
    bool m_bChanged;
    bool m_bAdded;
    bool m_bHovering;
    bool m_bOverItem;
    bool m_bItemsEnabled;
    bool m_bTipOffset;
    sprite::SpriteBase* m_pHintPaper;
    sprite::SpriteBase* m_pHintArrow;
    sprite::SpriteBase* m_pHintText;
    sprite::SpriteBase* m_pNewTask;
    sprite::SpriteBase* m_pHeldItem;
    // The item the last press took out of the bar, until its release.
    sprite::SpriteBase* m_pPressedItem;
    // The last press was on an item the bar keeps, until its release.
    bool m_bKeptItemPressed;
    util::Random m_random;
    util::Vector m_sparkles;
};
