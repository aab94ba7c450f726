// TransitionMask.h: a transition that reveals or hides the layer picture
// through one or more mask pictures scaled a little more each frame (a
// keyhole opening on the new scene, or closing on the old one), drawn
// through the stencil mask of the graphics.
#pragma once

#include "core/util/TVector.h"
#include "sprites/transitions/TransitionBase.h"

namespace sprite {

class TransitionMask : public TransitionBase {
public:
    // The scale a mask never falls below.
    static constexpr float SMALLEST_SCALE = 0.01f;

    // Over the whole screen, 24 frames, no masks, scale 1.0 to 2.0.
    TransitionMask();
    TransitionMask(int frames, int x, int y, int width, int height, bool overlay);
    // Frees the masks and releases their pictures.
    ~TransitionMask() override;

    HV_CLASS_NAME("TransitionMask", TransitionBase)
    HV_DECLARE_METACLASS(TransitionMask);

    // A mask transition with this one's base state and a copy of every mask
    // (pictures shared, or loaded again by name when a mask has none).
    TransitionBase* clone() override;
    // Scales the masks by one frame's share of the run.
    int stepFrame() override;
    // Also moves on from the fill layer to a third picture when reversed.
    int advanceCapture() override;
    // The third picture is drawn on top while it is revealed.
    void computeDrawOrder() override;
    // Rewinds; the masks go back to their first scale.
    void reset() override;
    // Starts the masks over for the new layer (skipping the fill layer when
    // reversed).
    void onLayerChanged() override;
    // The current layer through the masks; others as the base draws them.
    bool drawLayer(int layer, window::Graphics* g) override;
    bool isLayerActive(int layer) override;

    // A mask whose picture is loaded by name, at (0, 0); returns its index.
    int addImageByName(const lang::String& name);
    // A mask of an existing picture (a reference is taken); returns its index.
    int addImage(window::ImageBase* image);
    // Where a mask's picture is drawn (its top-left at scale 1); indexes
    // outside the list are ignored.
    void setImagePosition(int index, int x, int y);
    // The mask record at index, or false outside the list.
    bool getMask(int index, TransitionImage*& mask);
    int getMaskCount() { return m_masks.size(); }
    // The scale of the masks runs from init to end over a layer.
    void setMaskScale(float init, float end);
    // Frees every mask, last first.
    void clearMasks();

    float getScaleInit() const { return m_fScaleInit; }
    float getScaleEnd() const { return m_fScaleEnd; }
    float getScale() const { return m_fScale; }

protected:
    // A new mask record over the picture (or none), appended; returns its index.
    int appendMask(window::ImageBase* image, const lang::String& name);

    util::TVector<TransitionImage*> m_masks{10};
    float m_fScaleInit;
    float m_fScaleEnd;
    float m_fScale;
};

} // namespace sprite
