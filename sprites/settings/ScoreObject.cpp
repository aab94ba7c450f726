// ScoreObject.cpp: a high-score entry.
#include "sprites/settings/ScoreObject.h"

namespace sprite {

ScoreObject::ScoreObject(const lang::String& name, int score, int level, int setting)
    : m_name(name), m_nScore(score), m_nLevel(level), m_nSetting(setting)
{
}

} // namespace sprite
