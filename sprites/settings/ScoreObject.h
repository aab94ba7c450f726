// ScoreObject.h: one entry of the high-score table: the player's name, the
// score, the level reached and the game setting it was played at.
#pragma once

#include "core/lang/Object.h"
#include "core/lang/String.h"

namespace sprite {

class ScoreObject : public lang::Object {
public:
    ScoreObject(const lang::String& name, int score, int level, int setting);

    const lang::String& getName() const { return m_name; }
    int getScore() const { return m_nScore; }
    int getLevel() const { return m_nLevel; }
    int getSetting() const { return m_nSetting; }

    HV_CLASS_NAME("ScoreObject", lang::Object)

private:
    lang::String m_name;
    int m_nScore;
    int m_nLevel;
    int m_nSetting;
};

} // namespace sprite
