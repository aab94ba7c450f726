// FancyContainer.h: a sized sprite holding an ordered list of child sprites
// drawn inside its own transform (first child at the bottom, last on top)
// and hit-tested from the top down. Removing a child hides it at once and
// drops it from the list at the container's next tick.
#pragma once

#include "core/util/Vector.h"
#include "sprites/base/BoundsSprite.h"

namespace util {
class Region;
}

namespace sprite {

class SpriteDefinition;

class FancyContainer : public BoundsSprite {
public:
    // A w x h container at (0, 0); the third argument is not used.
    FancyContainer(int width, int height, int unused);
    // Lets go of the children (they leave with the list).
    ~FancyContainer() override;

    HV_CLASS_NAME("FancyContainer", BoundsSprite)
    HV_DECLARE_METACLASS(FancyContainer);

    // The definition whose sprites were just added to the container (it is
    // let go of after the call); nothing here.
    virtual void setDefinition(SpriteDefinition* definition);
    // Loads the pictures of the visible children.
    virtual void onShown();
    // Frees the pictures of every child.
    virtual void onHidden();
    // Puts the child just above `after` (at the bottom when `after` is null
    // or no child); a child already in the list moves.
    virtual bool insertAfter(SpriteBase* child, SpriteBase* after);
    // Puts the child on top of the drawing order.
    virtual bool bringToFront(SpriteBase* child);
    // Hides the child; it leaves the list at the next tick unless it is
    // put back before then.
    virtual bool removeChild(SpriteBase* child);
    virtual void setChildrenPaused(bool paused);
    // Draws the visible children in list order; the clip region is for
    // subclasses.
    virtual void paintChildren(window::Graphics* g, util::Region* clipRegion);

    // Draws the background and then the children, with (0, 0) at the
    // container's top-left corner and the container's alpha.
    void paint(window::Graphics* g) override;
    // Runs a fade step, the container's own animations, then the children's
    // ticks, and drops the children removed since the last tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Passes red, green and blue down to every child; the alpha stays the
    // container's own.
    void setColorBalance(int alpha, int red, int green, int blue) override;
    // The visible children's first, then the container's own.
    void prepareTransition(window::Graphics* g) override;

    // Child `index` with a reference added (the caller releases it), or
    // null outside the list.
    SpriteBase* childAt(int index);
    int getChildCount();
    // Puts the child just under `before` (at the bottom when `before` is
    // null or no child).
    bool insertBefore(SpriteBase* child, SpriteBase* before);
    // With a Lua state: for the container and then each child, its Lua
    // method "completeAnimations" when it has Lua animations and, with jump,
    // its running animations brought to their last step.
    void completeAnimations(bool jump);
    using SpriteBase::completeAnimations;
    // Fades in (step > 0) or out (step < 0) by that much alpha a tick,
    // showing the container for the fade; a finished fade-out hides it and
    // puts the alpha back to 128. Nothing while the same fade runs.
    void fade(int step);
    // A fade-out at the speed of the last fade.
    void fadeOut();

    bool isFading() const { return m_bFading; }
    int getFadeStep() const { return m_nFadeStep; }
    int getBackgroundColor() const { return m_nBackgroundColor; }
    void setBackgroundColor(int argb) { m_nBackgroundColor = argb; }
    bool getFillBackground() const { return m_bFillBackground; }
    void setFillBackground(bool on) { m_bFillBackground = on; }
    // Whether the child waits to leave the list at the next tick.
    bool isRemovalPending(SpriteBase* child);
    // Whether the sprite is this container or one of the containers that
    // hold it, however far up.
    bool isSelfOrAncestor(SpriteBase* sprite);

    // The list to which ticks hand children that have Lua animations, for
    // their "nextFrame" at the end of the frame; set up with the framework,
    // null while there is none (children are then not collected).
    static util::Vector* luaAnimatedSprites;

protected:
    // Where placeChild puts a child: under `other`, above it, or on top.
    enum Placement { BELOW, ABOVE, ON_TOP };
    // Takes the child out of the list and puts it back at its new place
    // (the bottom when `other` is null or no child); the child leaves the
    // removal queue, and the list of another container it was in. False for
    // a null child, the container itself or a container that holds it.
    bool placeChild(SpriteBase* child, Placement placement, SpriteBase* other);
    // Takes the child out of the list at once, when another container takes
    // it; it is neither hidden nor ticked here again.
    virtual void detachChild(SpriteBase* child);

    int m_nBackgroundColor;
    int m_nFadeStep;
    bool m_bFillBackground;
    util::Vector m_children;
    util::Vector m_pendingRemoval;
    bool m_bFading;
};

} // namespace sprite
