// ClockCU.cpp: the clock close-up's origin, host and its opening and closing.
#include "scenes/clock/ClockCU.h"

#include "scenes/common/SceneRoom.h"

HV_DEFINE_METACLASS(ClockCU);

ClockCU::ClockCU() : sprite::DialogSprite(false), m_nOriginX(0), m_nOriginY(0), m_pHost(nullptr)
{
}

void ClockCU::setOrigin(int x, int y)
{
    m_nOriginX = x;
    m_nOriginY = y;
}

void ClockCU::open()
{
    setVisible(true);
    SceneRoom::playSound(SOUND_OPEN);
}

void ClockCU::close()
{
    SceneRoom::playSound(SOUND_CLOSE);
}
