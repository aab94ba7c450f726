// RoomTransitions.cpp: the screen transitions a room is left through: the
// wipe of an exit in the exit's direction, and the zoom through a mask.
#include "game/rooms/Room.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/DoorSprite.h"
#include "sprites/transitions/TransitionFactory.h"
#include "sprites/transitions/TransitionMask.h"
#include "sprites/transitions/TransitionMosaic.h"
#include "windowing/window/DebugLine.h"

using sprite::TransitionBase;

namespace {

// The wipe direction of each exit direction 0..7: down, up, left, right,
// down-right, down-left, up-right, up-left.
constexpr int kWipeDirection[8] = {
    TransitionBase::DIR_DOWN,
    TransitionBase::DIR_UP,
    TransitionBase::DIR_LEFT,
    TransitionBase::DIR_RIGHT,
    TransitionBase::DIR_DOWN + TransitionBase::DIR_RIGHT,
    TransitionBase::DIR_DOWN + TransitionBase::DIR_LEFT,
    TransitionBase::DIR_UP + TransitionBase::DIR_RIGHT,
    TransitionBase::DIR_UP + TransitionBase::DIR_LEFT,
};

// Where the mask layers of a mask-type exit transition stand, in order.
constexpr int kMaskLayerPositions[5][2] = {{400, 300}, {650, 450}, {150, 150}, {150, 450}, {650, 150}};
// The tint of a tinted exit transition: opaque dark blue.
constexpr uint32_t kTintColour = 0xFF000080u;

} // namespace

void Room::zoomToRoom(int target, const lang::String& maskName, int x, int y, float startScale, float endScale,
                      int frames, window::ImageBase* maskImage)
{
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    if (!c || !c->getRoom(target)) {
        window::debugLine("Room::zoomToRoom: no room ", target, " from ", scriptName(), "\n");
        return;
    }
    const int type = endScale < startScale ? sprite::TransitionFactory::MASK + 1 : sprite::TransitionFactory::MASK;
    TransitionBase* transition = sprite::TransitionFactory::createFullScreen(type, frames);
    // Without a transition the room is left at once: a room left waiting
    // for one that never comes would swallow every press.
    if (!transition) {
        exitTo(target);
        return;
    }
    setState(STATE_LEAVING);
    auto* mask = static_cast<sprite::TransitionMask*>(transition);
    int layer = -1;
    if (maskImage)
        layer = mask->addImage(maskImage);
    else if (!maskName.isEmpty())
        layer = mask->addImageByName(maskName);
    mask->setImagePosition(layer, x, y);
    c->setDestination(lang::String(""));
    mask->setMaskScale(startScale, endScale);
    c->setPendingRoom(target);
    c->setTransition(transition);
    transition->begin();
    transition->release();
    c->setDirty(true);
}

bool Room::findExitTransition(int target, TransitionBase** transition)
{
    *transition = nullptr;
    DoorSprite* exit = nullptr;
    for (int i = 0; i < m_nDoorCount && !exit; ++i) {
        DoorSprite* door = getDoor(i);
        if (door && door->getTargetRoom() == target)
            exit = door;
    }
    const int direction = exit ? exit->getDirection() : -1;
    if (direction >= 0 && direction <= 7)
        makeDoorTransition(transition, kWipeDirection[direction]);
    // No exit, or a transition that cannot be made: the room is left at once.
    if (!*transition) {
        exitTo(target);
        return false;
    }
    setState(STATE_LEAVING);
    return true;
}

void Room::makeDoorTransition(TransitionBase** transition, int direction)
{
    *transition = nullptr;
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    if (!c)
        return;
    const DoorTransitionSettings& settings = c->getDoorTransitionSettings();
    TransitionBase* t = sprite::TransitionFactory::createFullScreen(settings.type, DOOR_TRANSITION_FRAMES);
    if (!t)
        return;
    t->setDirection(direction);
    t->setSrcMoves(settings.srcMoves);
    t->setFade(settings.fade);
    switch (settings.type / 100 * 100) {
    case sprite::TransitionFactory::BARN_DOOR:
        t->setReverse(settings.reverse);
        break;
    case sprite::TransitionFactory::MOSAIC: {
        auto* mosaic = static_cast<sprite::TransitionMosaic*>(t);
        mosaic->setStyle(settings.mosaicStyle);
        mosaic->setRemoveMode(settings.mosaicRemoval);
        mosaic->setReverse(settings.reverse);
        mosaic->setGridSize(settings.mosaicColumns, settings.mosaicRows);
        mosaic->setTilesPerRender(settings.mosaicTilesPerFrame);
        break;
    }
    case sprite::TransitionFactory::MASK: {
        auto* mask = static_cast<sprite::TransitionMask*>(t);
        for (int i = 0; i < settings.maskLayers && i < 5; ++i) {
            int layer = mask->addImageByName(lang::String("+iCursor_4"));
            mask->setImagePosition(layer, kMaskLayerPositions[i][0], kMaskLayerPositions[i][1]);
        }
        mask->setMaskScale(1.0f, 20.0f);
        mask->setReverse(settings.reverse);
        break;
    }
    default:
        break;
    }
    if (settings.tint) {
        t->setFillColour(kTintColour);
        t->setFillSecondLayer(true);
    }
    *transition = t;
}
