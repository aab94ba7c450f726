// TransitionBarnDoor.h: a transition that splits the old picture into two
// doors opening from the middle (side by side or one above the other), or
// with reverse closes the whole picture toward the middle.
#pragma once

#include "sprites/transitions/TransitionBase.h"

namespace sprite {

class TransitionBarnDoor : public TransitionBase {
public:
    static constexpr int HORIZONTAL = 1;
    static constexpr int VERTICAL = 2;

    // One door: the part of the layer's picture it shows and where.
    struct Door {
        util::RectangleNM rect;
        util::RectangleNM baseRect;
        util::Point position;
    };

    TransitionBarnDoor();
    TransitionBarnDoor(int orientation, int frames, int x, int y, int width, int height, bool overlay);

    HV_CLASS_NAME("TransitionBarnDoor", TransitionBase)
    HV_DECLARE_METACLASS(TransitionBarnDoor);

    // Moves the doors apart (or the closing picture inward) by one frame.
    int stepFrame() override;
    // Rewinds and splits the first layer into its doors.
    void reset() override;
    // Splits the new current layer.
    void onLayerChanged() override;
    // The current layer as its doors; others as the base draws them.
    bool drawLayer(int layer, window::Graphics* g) override;
    // Layers from the current one on are drawn.
    bool isLayerActive(int layer) override;

    int getOrientation() const { return m_nOrientation; }
    void setOrientation(int orientation) { m_nOrientation = orientation; }
    const Door& getDoor(int index) const { return m_doors[index & 1]; }

protected:
    // Splits the current layer into the doors.
    void split();

    int m_nOrientation;
    Door m_doors[2];
};

} // namespace sprite
