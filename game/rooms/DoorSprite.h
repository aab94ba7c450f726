// DoorSprite.h: a room's exit: an invisible rectangular button that carries
// the room it leads to, the direction it leads in (its hover cursor and the
// direction of the exit wipe) and the kind of room change it starts.
#pragma once

#include "sprites/buttons/RectButtonSprite.h"

namespace window {
class ImageBase;
}

class DoorSprite : public sprite::RectButtonSprite {
public:
    // A plain door, as every door is unless its definition says otherwise.
    static constexpr int TYPE_DOOR = 100;
    // The two zoom types that need their zoom numbers and image.
    static constexpr int TYPE_ZOOM_GROW = 400;
    static constexpr int TYPE_ZOOM_SHRINK = 401;
    // The numbers a definition needs at least, and the count from which it
    // carries the zoom image and values.
    static constexpr int MIN_NUMBERS = 8;
    static constexpr int ZOOM_NUMBERS = 11;

    // No direction, no rooms, 24 frames, type 0, no zoom image, scales 1.0.
    DoorSprite();
    // Gives back the zoom image.
    ~DoorSprite() override;

    HV_CLASS_NAME("DoorSprite", sprite::RectButtonSprite)
    HV_DECLARE_METACLASS(DoorSprite);

    // Numbers 0-3 the rectangle, 4 the button state, 5 the owner room, 6 the
    // direction, 7 the target room; 8 the type (100), 9 the zoom frames
    // (24); from 11 numbers on exactly one image (the zoom image) and 10-13
    // zoom x, y and the start and end scale in hundredths.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // Whether the pointer is over the enabled door; keeps the rollover look
    // and the owner room's hover cursor in step unless an inventory item is
    // involved.
    bool mouseMoved(int x, int y) override;

    // A type whose hundreds are 4.
    bool isZoomDoor() const { return m_nDoorType / 100 * 100 == 400; }

    int getDirection() const { return m_nDirection; }
    void setDirection(int direction) { m_nDirection = direction; }
    int getTargetRoom() const { return m_nTargetRoom; }
    void setTargetRoom(int room) { m_nTargetRoom = room; }
    int getOwnerRoom() const { return m_nOwnerRoom; }
    int getTransitionFrames() const { return m_nTransitionFrames; }
    int getDoorType() const { return m_nDoorType; }
    window::ImageBase* getZoomImage() const { return m_pZoomImage; }
    int getZoomX() const { return m_nZoomX; }
    int getZoomY() const { return m_nZoomY; }
    float getZoomScaleFrom() const { return m_fZoomScaleFrom; }
    float getZoomScaleTo() const { return m_fZoomScaleTo; }

private:
    int m_nDirection;
    int m_nTargetRoom;
    int m_nOwnerRoom;
    int m_nTransitionFrames;
    int m_nDoorType;
    window::ImageBase* m_pZoomImage;
    int m_nZoomX;
    int m_nZoomY;
    float m_fZoomScaleFrom;
    float m_fZoomScaleTo;
};
