// InnerSanctum.cpp: the inner sanctum's board, its toggling by press, drag
// and release, the pattern reports and the torch errand.
#include "scenes/sanctum/InnerSanctum.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/ScriptValues.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/window/Event.h"

#include <lua.hpp>

#include <string>

HV_DEFINE_METACLASS(InnerSanctum);

const char InnerSanctum::kScriptTable[] = "InnerSanctum";

namespace {

// setDropCursor(): the next press on the board drops the carried torch.
int luaSetDropCursor(lua_State* L)
{
    SceneLua::self<InnerSanctum>(L, "InnerSanctum", 1)->armDrop();
    return SceneLua::returnLast(L);
}

const luaL_Reg kMethods[] = {
    {"setDropCursor", &sprite::SpriteBaseLua::guarded<luaSetDropCursor>},
    {nullptr, nullptr},
};

sprite::AnimateSprite* asAnimation(sprite::SpriteBase* sprite)
{
    return sprite && sprite->isInstanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(sprite) : nullptr;
}

} // namespace

InnerSanctum::InnerSanctum() : m_bBoardPressed(false), m_nLastToggled(-1), m_bDropArmed(false)
{
    SceneLua::bindRoomClass(this, "InnerSanctum", kMethods);
}

const luaL_Reg* InnerSanctum::luaMethods()
{
    return kMethods;
}

void InnerSanctum::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_bShown = true;
    buildPieces();
}

void InnerSanctum::buildPieces()
{
    m_bBoardPressed = false;
    m_nLastToggled = -1;
    const lang::IntArray& numbers = getDefinitionInts();
    if (numbers.length() < DEFINITION_NUMBERS)
        OutputDebugStringA("InnerSanctum: the definition lacks pattern numbers; those patterns never match\n");
    for (int i = 0; i < PIECES; ++i) {
        const std::string name = "Piece_" + std::to_string(i);
        m_pieces[i].sprite = SceneRoom::findAnimation(this, name.c_str());
        for (int p = 0; p < PATTERNS; ++p) {
            const int at = 1 + i + PIECES * p;
            m_pieces[i].target[p] = at < numbers.length() ? numbers[at] : -1;
        }
    }
}

int InnerSanctum::matchPattern(const int frames[PIECES], const BoardPiece pieces[PIECES])
{
    for (int p = 0; p < PATTERNS; ++p) {
        bool equal = true;
        for (int i = 0; i < PIECES && equal; ++i)
            equal = frames[i] == pieces[i].target[p];
        if (equal)
            return p;
    }
    return -1;
}

int InnerSanctum::findSolvedPattern()
{
    int frames[PIECES];
    for (int i = 0; i < PIECES; ++i) {
        sprite::AnimateSprite* sprite = asAnimation(m_pieces[i].sprite);
        frames[i] = sprite ? sprite->getFrame() : -1;
    }
    return matchPattern(frames, m_pieces);
}

void InnerSanctum::togglePiece(int x, int y)
{
    toLocal(x, y);
    int hit = -1;
    for (int i = 0; i < PIECES && hit < 0; ++i) {
        sprite::AnimateSprite* sprite = asAnimation(m_pieces[i].sprite);
        if (sprite && i != m_nLastToggled && sprite->hittestImage(x, y))
            hit = i;
    }
    if (hit < 0)
        return;
    OutputDebugStringA(("m_nToggledPiece = " + std::to_string(m_nLastToggled) + "\n").c_str());
    OutputDebugStringA(("i = " + std::to_string(hit) + "\n").c_str());
    m_nLastToggled = hit;
    sprite::AnimateSprite* sprite = asAnimation(m_pieces[hit].sprite);
    const bool on = sprite->getFrame() == 0;
    sprite->setFrame(on ? 1 : 0);
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        c->stopSound(on ? SOUND_ON : SOUND_OFF);
        c->playSound(on ? SOUND_ON : SOUND_OFF);
    }
    const int pattern = findSolvedPattern();
    if (pattern >= 0 && ScriptValues::getInt("LF_isInnerSanctumPatternSolved", pattern + 1) == 0)
        callScriptInt(kScriptTable, "onWinPattern", pattern + 1);
}

bool InnerSanctum::carriesTorch()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return c && c->getCurrentCursor() == CURSOR_CLUB_TORCH;
}

bool InnerSanctum::boardLive()
{
    return chapterNumber() == CHAPTER && !ScriptValues::getBool("LF_solvedAllInnerSanctumPatterns");
}

int InnerSanctum::mouseDown(window::Event* e)
{
    const int result = Room::mouseDown(e);
    if (chapterNumber() != CHAPTER)
        return result;
    if (carriesTorch()) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        bool kept = false;
        for (const char* name : {"TorchClickRect", "PlanClickRect_1", "PlanClickRect_2", "PlanClickRect_3",
                                 "PlanClickRect_4"}) {
            sprite::SpriteBase* area = getSprite(name);
            kept = kept || (area && area->hittest(x, y));
        }
        if (!kept)
            callScript(kScriptTable, "dropTorch");
        return result;
    }
    if (ScriptValues::getBool("LF_solvedAllInnerSanctumPatterns"))
        return result;
    if (!m_bDropArmed) {
        m_bBoardPressed = true;
        togglePiece(e->x, e->y);
    } else {
        callScript(kScriptTable, "dropTorch");
        m_bDropArmed = false;
    }
    return result;
}

bool InnerSanctum::mouseMove(window::Event* e)
{
    if (carriesTorch())
        return Room::mouseMove(e);
    if (m_bBoardPressed && boardLive())
        togglePiece(e->x, e->y);
    if (LanternfieldCanvas* c = SceneRoom::canvas()) {
        int x = e->x;
        int y = e->y;
        toLocal(x, y);
        sprite::SpriteBase* door = getSprite("DoorToOuterSanctum");
        sprite::ButtonMixin* button = door ? sprite::ButtonMixin::fromSprite(door) : nullptr;
        if (button && button->hitAndEnabled(x, y))
            c->setCursor(0, true);
        else
            c->setCursor(LanternfieldCanvas::CURSOR_NORMAL, false);
    }
    return Room::mouseMove(e);
}

int InnerSanctum::mouseUp(window::Event* e)
{
    const int result = sprite::DialogSprite::mouseUp(e);
    if (!carriesTorch() && m_bBoardPressed && boardLive())
        togglePiece(e->x, e->y);
    // The press ends whatever happened since: a later press starts afresh.
    m_nLastToggled = -1;
    m_bBoardPressed = false;
    return result;
}

void InnerSanctum::onEnter()
{
    Room::onEnter();
    m_bDropArmed = false;
}
