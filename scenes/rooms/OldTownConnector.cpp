// OldTownConnector.cpp: the music on return and the zoom into the store.
#include "scenes/rooms/OldTownConnector.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/rooms/KnickKnackStore.h"
#include "sound/clip/AudioClip.h"

HV_DEFINE_METACLASS(OldTownConnector);

void OldTownConnector::activate()
{
    Room::activate();
    LanternfieldCanvas* c = LanternfieldCanvas::instance;
    // Whatever room silenced the music, it plays again here.
    if (c)
        c->setNoMusic(false);
    window::AudioClip* music = c ? c->getMusicClip() : nullptr;
    if (!music)
        return;
    music->loop();
    c->fadeSound(music, c->getMusicVolume(), MUSIC_FADE_FRAMES, false);
}

void OldTownConnector::goToRoom(int index)
{
    if (index == KNICK_KNACK_STORE_ROOM)
        KnickKnackStore::zoomThroughDoor(this, index, KnickKnackStore::DOOR_ZOOM_NARROW,
                                         KnickKnackStore::DOOR_ZOOM_WIDE);
    else
        Room::goToRoom(index);
}
