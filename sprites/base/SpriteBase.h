// SpriteBase.h: the root of everything drawn on screen: a position anchored
// at the centre of the sprite's box, rotation, scale, flip, a colour balance
// (128 = unchanged in each channel), an optional clip rectangle, an optional
// show/hide transition, frame-counted animations toward targets (move,
// alpha, colour, scale, spin), and an action event sent to a receiver when
// an animation ends.
#pragma once

#include "core/lang/String.h"
#include "core/util/RectangleNM.h"
#include "sprites/base/BresenhamStepper.h"
#include "windowing/graphics/ColorWin32.h"
#include "windowing/window/Receiver.h"

namespace lang {
class IntArray;
class ObjectArray;
} // namespace lang

namespace util {
class Region;
}

namespace window {
class Event;
class Graphics;
} // namespace window

namespace sprite {

class FancyContainer;
class TransitionBase;

class SpriteBase : public lang::Object, public window::Receiver {
public:
    // Anchor flags: which point left() and top() report.
    static constexpr int ANCHOR_LEFT = 0x10;
    static constexpr int ANCHOR_CENTER_X = 0x20;
    static constexpr int ANCHOR_RIGHT = 0x40;
    static constexpr int ANCHOR_TOP = 0x01;
    static constexpr int ANCHOR_CENTER_Y = 0x02;
    static constexpr int ANCHOR_BOTTOM = 0x04;

    // Flip types.
    static constexpr int FLIP_NONE = 0;
    static constexpr int FLIP_HORIZONTAL = 1;
    static constexpr int FLIP_VERTICAL = 2;
    static constexpr int FLIP_BOTH = 3;

    // Mouse-over cursors.
    static constexpr int CURSOR_NONE = -1;
    static constexpr int CURSOR_NORMAL = 0;
    static constexpr int CURSOR_HAND = 1;

    // Show/hide transition modes.
    static constexpr int TRANSITION_NONE = 0;
    static constexpr int TRANSITION_SHOWING = 1;
    static constexpr int TRANSITION_HIDING = 2;

    // The registry reference of a sprite without a Lua table.
    static constexpr int NO_LUA_REF = -2;

    // Hooks through which the script host gives sprites their Lua tables and
    // runs their per-frame Lua method; null while there is no script host.
    // createLuaTable runs at the end of construction, releaseLuaTable at the
    // start of destruction, callLuaNextFrame from luaNextFrame.
    struct LuaHooks {
        void (*createLuaTable)(SpriteBase* sprite) = nullptr;
        void (*releaseLuaTable)(SpriteBase* sprite) = nullptr;
        void (*callLuaNextFrame)(SpriteBase* sprite, int frame) = nullptr;
    };
    static LuaHooks luaHooks;

    // A visible sprite anchored at (x, y), unchanged in colour, scale 1,
    // with no rotation, flip, clip or transition.
    SpriteBase(int x, int y);

    HV_CLASS_NAME("SpriteBase", lang::Object)

    // Releases the action command, the clip, the transition and the Lua table.
    ~SpriteBase() override;
    // Called at the end of every movePosition with the offsets.
    virtual void moved(int dx, int dy);
    // Draws the sprite itself; the base draws nothing.
    virtual void paint(window::Graphics* g);
    // Sets the sprite up from a data definition; false when refused.
    virtual bool configure(lang::ObjectArray* resources, lang::IntArray* params) = 0;
    // A new sprite of the same class with this sprite's state (one reference).
    virtual SpriteBase* clone() = 0;
    // When showing: through the clip rectangle, the running screen
    // transition in place of the sprite, else paint.
    virtual void draw(window::Graphics* g);
    // A command sent to the sprite (scheduled actions, scripts).
    virtual void handleAction(lang::Object* sender, lang::String* command);
    virtual bool isInteractive();
    // Whether the pointer is over the sprite (interactive sprites).
    virtual bool mouseMoved(int x, int y);
    virtual void setMouseOver(bool over);
    // One logic frame of the animations; sends the action when one ended,
    // copies the bounds into boundsOut and returns whether the look changed.
    virtual bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region);
    virtual int width() = 0;
    virtual int height() = 0;
    // The point the anchor names: the left edge, centre or the right edge.
    virtual int left();
    virtual int top();
    // Moves the sprite so that left() and top() become (l, t).
    virtual void setPosition(int l, int t);
    // Runs the transition as a show (visible) or hide; the sprite stays
    // visible while it plays and is hidden at the end of a hide. With no
    // transition the sprite is shown or hidden at once.
    virtual void show(bool visible, TransitionBase* transition);
    // Shows or hides through a 24-frame transition of that type code over
    // the sprite's bounds.
    virtual void showWithTransition(bool visible, int type, int arg);
    virtual void showWithTransition(bool visible, int type);
    virtual void setVisible(bool visible);
    // Visible and at least 1 by 1.
    virtual bool isShowing();
    virtual void setColorBalance(int alpha, int red, int green, int blue);
    // A move, alpha or colour animation runs.
    virtual bool isAnimating();
    // While a move, alpha or colour animation runs: jumps to every target
    // the sprite is away from (move, alpha, colour, scale, spin reference),
    // leaving each running animation one step to go, so that the next tick
    // lands on it and sends the action; false when nothing runs.
    virtual bool completeAnimations();
    // Fades the alpha byte to `alpha` in `steps` ticks (-1 keeps the count
    // left; 0 counts as 1); hideAtEnd 1 hides the sprite when it ends at 0.
    virtual void setAlphaDestination(int alpha, int steps, int hideAtEnd);
    // Moves all four balance bytes to the colour's in `steps` ticks.
    virtual void setColorBalanceDestination(ColorBase* colour, int steps, int hideAtEnd);
    // The point lies within getBounds().
    virtual bool hittest(int x, int y);
    virtual bool hittestOpaque(int x, int y);
    // The box of the transformed sprite, cut to the clip rectangle when set.
    virtual util::RectangleNM* getBounds();
    virtual void unloadImages();
    virtual void loadImages();
    // A transition is attached and running.
    virtual bool isTransitioning();
    // A transition is attached that still needs the sprite's picture.
    virtual bool drawsThroughTransition();
    // Hands the sprite's picture to a transition that waits for it.
    virtual void prepareTransition(window::Graphics* g);

    // Never consumes an event.
    bool handleEvent(window::Event* e) override;

    // Moves the anchor point by (dx, dy); outside an animation step a running
    // move then ends at the new place on the next tick.
    void movePosition(int dx, int dy);
    void setCenter(int x, int y);
    // Moves left() and top() to (l, t) in `steps` ticks.
    void setDestination(int l, int t, int steps);
    void setScale(double sx, double sy);
    void setScale(double s);
    // The horizontal factor only; no effect on a running scale animation.
    void setScaleX(double sx);
    void setScaleDestination(double sx, double sy, int steps);
    // Turns clockwise by the degrees; the rotation stays within [0, 360].
    void rotateBy(double degrees);
    // Turns by 360 / |rate| degrees a tick for as long as nothing else
    // turns the sprite; 0 stops.
    void setSpin(int rate);
    void setFlipType(int flip);
    void setAlphaBalance(int alpha);
    void applyColor(ColorBase* colour);
    // Corner 0..3 while corner colours are on, else the colour balance.
    ColorWin32 getColorBalance(int corner);
    // The receiver (not owned) and command (reference counted) of the
    // action event; (null, null) clears them.
    void setAction(window::Receiver* receiver, lang::String* command);
    // Sends the action event to the receiver now.
    void fireAction();
    void setPaused(bool paused);
    // Whether animations step in this frame (not while paused).
    bool isActive(int frame);
    // A copy of the rectangle clips the sprite (screen coordinates); null clears.
    void setClipRect(util::RectangleNM* clip);
    // Copies position, transform, colour and animation state to another sprite.
    void copyStateTo(SpriteBase* other);
    void updateBounds();
    // An offset from the anchor in the sprite's own frame to the parent's
    // frame (flip, scale, then rotation), and back.
    void toScreen(int& dx, int& dy);
    void toLocal(int& dx, int& dy);
    // One logic frame of the show/hide transition in place of tick.
    bool tickTransition(int frame, util::RectangleNM* boundsOut, util::Region* region);
    // Calls the Lua table's "nextFrame" when the sprite has Lua animations.
    void luaNextFrame(int frame);
    // Holds the transition (releasing an earlier one) and applies its start values.
    void attachTransition(TransitionBase* transition);
    // Renders the sprite into a new picture layer of its transition.
    void drawThroughTransition(window::Graphics* g);

    const lang::String& getName() const { return m_name; }
    void setName(const lang::String& name) { m_name = name; }
    int getX() const { return m_nX; }
    int getY() const { return m_nY; }
    int getAnchor() const { return m_nAnchor; }
    void setAnchor(int anchor) { m_nAnchor = anchor; }
    double getRotation() const { return m_dRotation; }
    double getScaleX() const { return m_dScaleX; }
    double getScaleY() const { return m_dScaleY; }
    int getFlipType() const { return m_nFlip; }
    const ColorWin32& getColor() const { return m_colorBalance; }
    int getAlpha() const { return m_colorBalance.getAlpha(); }
    bool getUseCornerColors() const { return m_bUseCornerColors; }
    void setUseCornerColors(bool on) { m_bUseCornerColors = on; }
    void setCornerColor(int corner, const ColorBase& colour)
    {
        if (corner >= 0 && corner < 4)
            m_cornerColors[corner] = colour;
    }
    int getMoveSteps() const { return m_nMoveSteps; }
    int getAlphaSteps() const { return m_nAlphaSteps; }
    int getColorSteps() const { return m_nColorSteps; }
    int getScaleSteps() const { return m_nScaleSteps; }
    int getSpinRate() const { return m_nSpinRate; }
    const ColorWin32& getTargetColor() const { return m_targetColor; }
    window::Receiver* getActionReceiver() const { return m_pActionReceiver; }
    lang::String* getActionCommand() const { return m_pActionCommand; }
    bool isActionPending() const { return m_bActionPending; }
    bool isPaused() const { return m_bPaused; }
    int getLastFrame() const { return m_nLastFrame; }
    util::RectangleNM* getClipRect() const { return m_pClip; }
    bool isVisible() const { return m_bVisible; }
    int getTransitionMode() const { return m_nTransitionMode; }
    TransitionBase* getTransition() const { return m_pTransition; }
    bool isDirty() const { return m_bDirty; }
    void setDirty(bool dirty) { m_bDirty = dirty; }
    int getMouseOverCursor() const { return m_nMouseOverCursor; }
    void setMouseOverCursor(int cursor) { m_nMouseOverCursor = cursor; }
    int getLuaRef() const { return m_nLuaRef; }
    void setLuaRef(int ref) { m_nLuaRef = ref; }
    bool hasLuaAnimations() const { return m_bHasLuaAnimations; }
    void setHasLuaAnimations(bool on) { m_bHasLuaAnimations = on; }
    // The container whose child list holds the sprite (not owned), or null.
    FancyContainer* getParent() const { return m_pParent; }

    // A double truncated toward zero and held to the int range (NaN gives 0).
    static int toInt(double value);
    // How far from the origin a move takes a sprite at most: far beyond any
    // screen, and near enough that positions plus sizes and offsets stay
    // within int wherever they are added.
    static constexpr int FARTHEST = 1 << 24;

protected:
    // The move target becomes the place the sprite stands (constructors
    // that change the anchor).
    void syncMoveTarget();

    lang::String m_name;
    int m_nX;
    int m_nY;
    int m_nAnchor;
    double m_dRotation;
    double m_dScaleX;
    double m_dScaleY;
    int m_nFlip;
    ColorWin32 m_colorBalance;
    ColorWin32 m_cornerColors[4];
    bool m_bUseCornerColors;
    int m_nMoveSteps;
    int m_nMoveTargetX;
    int m_nMoveTargetY;
    BresenhamStepper m_moveStepperX;
    BresenhamStepper m_moveStepperY;
    int m_nScaleSteps;
    double m_dScaleTargetX;
    double m_dScaleTargetY;
    int m_nSpinRate;
    double m_dSpinReference;
    int m_nAnimationDepth;
    int m_nAlphaSteps;
    int m_nColorSteps;
    ColorWin32 m_targetColor;
    BresenhamStepper m_alphaStepper;
    BresenhamStepper m_redStepper;
    BresenhamStepper m_greenStepper;
    BresenhamStepper m_blueStepper;
    int m_nHideAtEnd;
    window::Receiver* m_pActionReceiver;
    lang::String* m_pActionCommand;
    bool m_bActionPending;
    bool m_bPaused;
    int m_nLastFrame;
    int m_nPauseEndFrame;
    util::RectangleNM m_bounds;
    util::RectangleNM m_clippedBounds;
    util::RectangleNM* m_pClip;
    bool m_bVisible;
    int m_nTransitionMode;
    bool m_bDirty;
    TransitionBase* m_pTransition;
    int m_nMouseOverCursor;
    int m_nLuaRef;
    bool m_bHasLuaAnimations;

private:
    // Kept by the containers alone, so that a sprite is in one list at a time.
    friend class FancyContainer;
    FancyContainer* m_pParent;

    // One step of the spin animation.
    void tickSpin();
    // The rotation after adding degrees, brought back into [0, 360].
    static double wrapRotation(double rotation);
};

} // namespace sprite
