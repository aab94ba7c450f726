// DialogSprite.h: the container the player interacts with: screens, rooms,
// characters and dialogs. It finds its parts by name, routes presses,
// releases, moves and keys to its buttons and nested dialogs from the top of
// the drawing order down, and reports the outcome as a result code plus the
// name of the button clicked. It can be modal (it swallows clicks outside
// itself) and draggable (kept inside the 800 x 600 screen), and it frees its
// children's pictures while hidden.
#pragma once

#include "core/lang/String.h"
#include "sprites/containers/FancyContainer.h"

struct luaL_Reg;

namespace util {
class Hashtable;
}

namespace sprite {

class DialogSprite : public FancyContainer {
public:
    // Results of the mouse and key operations.
    static constexpr int NOT_HANDLED = 0;
    static constexpr int COMMAND_READY = 1;
    static constexpr int CLOSED = 2; // from game dialogs only
    static constexpr int HANDLED = 3;

    // Results of filterCommand and translateCommand.
    static constexpr int KEEP_COMMAND = 0;
    static constexpr int REPLACE_COMMAND = 1;
    static constexpr int CANCEL_COMMAND = 2;
    static constexpr int CANCEL_COMMAND_TOO = 3;

    // The screen that dragging keeps a dialog inside.
    static constexpr int SCREEN_WIDTH = 800;
    static constexpr int SCREEN_HEIGHT = 600;

    // A 1 x 1 dialog at (0, 0), shown, hit-tested by its own box.
    explicit DialogSprite(bool modal);
    // Releases the name table.
    ~DialogSprite() override;

    HV_CLASS_NAME("DialogSprite", FancyContainer)
    HV_DECLARE_METACLASS(DialogSprite);

    // Registers the child under the name and puts it just above `after`.
    virtual bool addChildAfter(const char* name, SpriteBase* child, SpriteBase* after);
    // Registers the child under the name and puts it on top.
    virtual bool addChild(const char* name, SpriteBase* child);
    virtual bool insertBefore(SpriteBase* child, SpriteBase* before);
    // Registers the child under the name and puts it just under `before`.
    virtual bool addChildBefore(const char* name, SpriteBase* child, SpriteBase* before);
    // Whether the buttons, also those of nested dialogs, fire on release
    // instead of on press.
    virtual void setFireOnRelease(bool onRelease);
    // The visible flag.
    virtual bool isVisible();
    // Offers the command to the nested dialogs from the top; the first
    // result from 1 to 3 is returned, else 0. Game dialogs act on commands.
    virtual int dialogAction(lang::String command);
    // filterCommand; the click count is for game dialogs.
    virtual int translateCommand(lang::String* command, lang::String* out, int clickCount);
    // The first non-zero answer of the visible nested dialogs from the top:
    // 0 keeps the command, 1 replaces it by *out, 2 or 3 cancel it.
    virtual int filterCommand(lang::String* command, lang::String* out);
    // Offers the key to the visible nested dialogs from the top.
    virtual int keyDown(int key);
    // A press at the event's point (parent coordinates).
    virtual int mouseDown(window::Event* e);
    // The release that belongs to the last press.
    virtual int mouseUp(window::Event* e);
    // Drags the dialog, or updates the rollover looks; true when the pointer
    // is over something that reacts.
    virtual bool mouseMove(window::Event* e);
    // Loads the visible children's pictures without changing the shown state.
    virtual void reloadChildImages();
    // Closes the dialog at once, as the game leaves the screen it stands on:
    // hidden, and no end action of its own or of a sprite inside it that
    // would reach the dialog fires any more. Dialogs that change others as
    // they open undo that here too.
    virtual void closeNow();

    // Numbers 0 to 3: left, top, width, height; then modal (4, when 1),
    // visible (5, when 1) and draggable (6, when not 0).
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // Frees the children's pictures in the tick after the dialog was hidden
    // and loads them in the tick after it was shown again.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    bool isInteractive() override;
    // The dialog's own box, or (without ownRectHitTest) any visible child.
    bool hittest(int x, int y) override;
    void onShown() override;
    void onHidden() override;
    // Takes the definition's name table as the dialog's (setSpriteTable);
    // a dialog defined hidden then frees its children's pictures at once.
    void setDefinition(SpriteDefinition* definition) override;
    // Also forgets the child's name.
    bool removeChild(SpriteBase* child) override;

    // Uses `names` (name -> sprite; a reference is added) as the dialog's
    // name table, as a definition gives it; a dialog already hidden then
    // frees its children's pictures at once.
    void setSpriteTable(util::Hashtable* names);
    // The sprite registered under the name (no reference added), or null.
    SpriteBase* getSprite(const char* name);
    // Names the sprite and, for a non-empty name, registers it.
    void addNamedSprite(const char* name, SpriteBase* sprite);
    // A point in the parent's frame as dialog coordinates, (0, 0) being the
    // dialog's top-left corner.
    void toLocal(int& x, int& y);
    // A fade-out runs.
    bool isModalBusy();

    const lang::String& getLastCommand() const { return m_lastCommand; }
    void setLastCommand(const lang::String& command) { m_lastCommand = command; }
    const lang::String& getPressedName() const { return m_pressedName; }
    util::Hashtable* getSpriteTable() const { return m_pSpriteTable; }
    bool isShown() const { return m_bShown; }
    bool isModal() const { return m_bModal; }
    void setModal(bool modal) { m_bModal = modal; }
    bool getOwnRectHitTest() const { return m_bOwnRectHitTest; }
    void setOwnRectHitTest(bool on) { m_bOwnRectHitTest = on; }
    bool isDraggable() const { return m_bDraggable; }
    void setDraggable(bool on) { m_bDraggable = on; }
    bool isDragging() const { return m_bDragging; }

    // The native methods of hv.DialogSprite, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // Takes a nested dialog's command after it returned r: through the
    // nested dialog's filterCommand; `otherResult` is the answer for a
    // filter result outside 0 to 3.
    int takeNestedCommand(DialogSprite* nested, int otherResult);
    // Takes the child out of the list if it is there, names it and puts it
    // at its place.
    bool addNamedChild(const char* name, SpriteBase* child, Placement placement, SpriteBase* other);
    // Also forgets the child's name, as the child now belongs elsewhere.
    void detachChild(SpriteBase* child) override;
    // Drops the child's own entry from the name table (another sprite may
    // have taken the name since).
    void forgetName(SpriteBase* child);
    // Clears the end action of the sprite and of every sprite inside it
    // whose action would reach this dialog.
    void callOffActions(SpriteBase* sprite);

    lang::String m_lastCommand;
    lang::String m_pressedName;
    util::Hashtable* m_pSpriteTable;
    bool m_bShown;
    bool m_bModal;
    bool m_bOwnRectHitTest;
    bool m_bDraggable;
    bool m_bDragging;
    int m_nLastMouseX;
    int m_nLastMouseY;
};

} // namespace sprite
