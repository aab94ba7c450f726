// KnickKnackStore.cpp: the knick-knack store's dark overlay and door zoom.
#include "scenes/rooms/KnickKnackStore.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"

HV_DEFINE_METACLASS(KnickKnackStore);

const char KnickKnackStore::kDoorMask[] = "+iKnickKnackStoreDoorMask";

KnickKnackStore::~KnickKnackStore()
{
    if (m_pDark) {
        removeChild(m_pDark);
        m_pDark->release();
        m_pDark = nullptr;
    }
}

void KnickKnackStore::onEnter()
{
    Room::onEnter();
    if (!m_pDark) {
        LanternfieldCanvas* c = LanternfieldCanvas::instance;
        sprite::SpriteBase* dim = c ? c->getSprite("Dim") : nullptr;
        if (!dim) {
            OutputDebugStringA("KnickKnackStore: no Dim sprite for the dark overlay\n");
            return;
        }
        m_pDark = dim->clone();
    }
    bringToFront(m_pDark);
    m_pDark->setAlphaBalance(255);
    m_pDark->setVisible(true);
    m_pDark->setAlphaDestination(0, DARK_FADE_FRAMES, 1);
}

void KnickKnackStore::activate()
{
    Room::activate();
}

void KnickKnackStore::goToRoom(int index)
{
    if (index == OLD_TOWN_CONNECTOR_ROOM)
        zoomThroughDoor(this, index, DOOR_ZOOM_WIDE, DOOR_ZOOM_NARROW);
    else
        Room::goToRoom(index);
}

void KnickKnackStore::zoomThroughDoor(Room* room, int target, float from, float to)
{
    room->zoomToRoom(target, lang::String(kDoorMask), DOOR_ZOOM_X, DOOR_ZOOM_Y, from, to, DOOR_ZOOM_FRAMES, nullptr);
}
