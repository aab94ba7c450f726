// ProfessorHouse.h: the professor's house (room 1) and its hidden-flower
// hunt: the script reports a click on hidden flower n, and the flower bursts
// into petals once.
#pragma once

#include "game/rooms/Room.h"

class ProfessorHouse : public Room {
public:
    // The petal burst lasts this many frames; the flower then grows to 1.2.
    static constexpr int FLOWER_EFFECT_FRAMES = 45;
    static constexpr double FLOWER_FOUND_SCALE = 1.2;
    // The sound of a found flower.
    static constexpr int SOUND_FLOWER = 46;

    // Binds the room to hv.ProfessorHouse.
    ProfessorHouse();

    HV_CLASS_NAME("ProfessorHouse", Room)
    HV_DECLARE_METACLASS(ProfessorHouse);

    // Forgets the last flower, then the room's entering.
    void onEnter() override;
    // Flower n ("HiddenFlower_<n>") found: when it shows, does not animate
    // and is not the flower found last, its petal burst, its sound and its
    // growth.
    void clickOnHiddenFlower(int n);

    sprite::SpriteBase* getLastFlower() const { return m_pLastFlower; }

    // The native methods of hv.ProfessorHouse, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The flower found last (a child of the room, not owned).
    sprite::SpriteBase* m_pLastFlower = nullptr;
};
