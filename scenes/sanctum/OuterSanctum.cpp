// OuterSanctum.cpp: the outer sanctum's board, the picking and placing of
// pieces, the judging of a row and the messages to the script.
#include "scenes/sanctum/OuterSanctum.h"

#include "core/lang/Owned.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/RandomDraw.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/ScriptValues.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/window/Event.h"

#include <cstdlib>
#include <string>

HV_DEFINE_METACLASS(OuterSanctum);

const char OuterSanctum::kScriptTable[] = "OuterSanctum";

namespace {

// The colour balance byte that leaves a picture as drawn.
constexpr int kAsDrawn = 128;

std::string numbered(const char* prefix, int i)
{
    return prefix + std::to_string(i);
}

bool startsWith(const lang::String& name, const char* prefix)
{
    return std::string(name.c_str()).rfind(prefix, 0) == 0;
}

// Fades the sprite out and hides it at the end, or hides it at once.
void putAway(sprite::SpriteBase* sprite, bool fade)
{
    if (fade && sprite->isVisible())
        sprite->setAlphaDestination(0, OuterSanctum::ROW_FADE_FRAMES, 1);
    else
        sprite->setVisible(false);
}

} // namespace

OuterSanctum::OuterSanctum()
    : m_nAttempts(0),
      m_answer{0, 1, 2, 3},
      m_bAllowClicks(false),
      m_nHeldKind(EMPTY),
      m_bHolding(false),
      m_nLastClickX(0),
      m_nLastClickY(0)
{
    SceneLua::bindRoomClass(this, "OuterSanctum", luaMethods());
}

void OuterSanctum::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    for (int i = 0; i < KINDS; ++i)
        m_choices[i].kind = i;
    m_bShown = true;
}

void OuterSanctum::setAnswer(const int answer[PLACES])
{
    for (int i = 0; i < PLACES; ++i)
        m_answer[i] = answer[i];
}

int OuterSanctum::placeKind(int i) const
{
    return hasRow() && i >= 0 && i < PLACES ? m_pieces[size_t(i)].kind : EMPTY;
}

void OuterSanctum::onEnter()
{
    Room::onEnter();
    setupPuzzle(true);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        if (Inventory* bar = c->getInventory())
            bar->setVisible(true);
    // The rules open by themselves on a first visit and wait behind the
    // question mark on later ones, while a code is left to break.
    if (!ScriptValues::getBool("LF_solvedOuterSanctumPuzzle"))
        SceneInstructions::queue(this, INSTRUCTIONS_GAME, SceneInstructions::ENTRY_DELAY);
}

void OuterSanctum::onExit()
{
    Room::onExit();
    m_bHolding = false;
    SceneInstructions::close(this, INSTRUCTIONS_GAME);
}

void OuterSanctum::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

void OuterSanctum::setupPuzzle(bool immediate)
{
    if (sprite::ButtonMixin* lever = SceneRoom::findButton(this, "LeverClickRect"))
        lever->setState(sprite::ButtonMixin::DISABLED);
    m_pieces.clear();
    for (int i = 0; i < getChildCount(); ++i) {
        sprite::SpriteBase* child = childAt(i);
        if (!child)
            continue;
        // The list's reference goes with this pass; the room keeps its own.
        lang::Owned owned(child);
        if (startsWith(child->getName(), "RowPiece_")) {
            putAway(child, !immediate);
            m_pieces.push_back(PieceInfo{child, EMPTY});
        } else if (startsWith(child->getName(), "Results_")) {
            putAway(child, !immediate);
        }
    }
    if (!hasRow())
        OutputDebugStringA("OuterSanctum: fewer than four RowPiece_ sprites; the row cannot be painted\n");
    m_nAttempts = 0;
    for (int k = 0; k < KINDS; ++k)
        showScattered(k, true);
    int code[KINDS] = {0, 1, 2, 3, 4, 5, 6, 7};
    RandomDraw draw(getRandom());
    RandomDraw::shuffle(draw, code, KINDS);
    setAnswer(code);
}

void OuterSanctum::fadeOutIncorrectRows()
{
    for (int i = 0; i < getChildCount(); ++i) {
        sprite::SpriteBase* child = childAt(i);
        if (!child)
            continue;
        lang::Owned owned(child);
        if (!child->isVisible())
            continue;
        const lang::String& name = child->getName();
        if ((startsWith(name, "RowPiece_") && !startsWith(name, "RowPiece_0")) ||
            (startsWith(name, "Results_") && !startsWith(name, "Results_0")))
            child->setAlphaDestination(0, ROW_FADE_FRAMES, 1);
    }
}

bool OuterSanctum::judge(const int answer[PLACES], const int row[PLACES], int results[PLACES])
{
    int exact = 0;
    for (int i = 0; i < PLACES; ++i) {
        results[i] = -1;
        if (row[i] == answer[i]) {
            results[i] = RIGHT_PLACE;
            ++exact;
        }
    }
    if (exact == PLACES)
        return true;
    for (int i = 0; i < PLACES; ++i) {
        if (results[i] != -1)
            continue;
        bool inCode = false;
        for (int j = 0; j < PLACES; ++j)
            inCode = inCode || row[i] == answer[j];
        results[i] = inCode ? ELSEWHERE : ABSENT;
    }
    return false;
}

void OuterSanctum::report(int attempts, int wins, bool solved, int out[3])
{
    const bool outOfTries = attempts >= MAX_TRIES - wins;
    out[0] = outOfTries ? 1 : 0;
    out[1] = outOfTries ? 0 : attempts;
    out[2] = solved ? 1 : 0;
}

void OuterSanctum::evaluateRow()
{
    if (!hasRow())
        return;
    int row[PLACES];
    for (int i = 0; i < PLACES; ++i)
        row[i] = m_pieces[size_t(i)].kind;
    int results[PLACES];
    const bool solved = judge(m_answer, row, results);
    for (int i = 0; i < PLACES; ++i) {
        const std::string name = numbered("Results_0_", i);
        if (sprite::AnimateSprite* mark = SceneRoom::findAnimation(this, name.c_str())) {
            mark->setFrame(results[i]);
            mark->setAlphaBalance(0);
        }
        m_pieces[size_t(i)].kind = EMPTY;
    }
    ++m_nAttempts;
    int out[3];
    report(m_nAttempts, ScriptValues::getInt("LF_getOuterSanctumPuzzleNumWins"), solved, out);
    callOuterSanctumShowResults(out[0], out[1], out[2]);
}

bool OuterSanctum::buttonHit(const char* name, int x, int y)
{
    sprite::SpriteBase* sprite = getSprite(name);
    sprite::ButtonMixin* button = sprite ? sprite::ButtonMixin::fromSprite(sprite) : nullptr;
    return button && button->hitAndEnabled(x, y);
}

bool OuterSanctum::spotHit(const char* name, int x, int y)
{
    sprite::SpriteBase* sprite = getSprite(name);
    return sprite && sprite->hittest(x, y);
}

void OuterSanctum::showScattered(int kind, bool visible)
{
    if (kind < 0 || kind >= KINDS)
        return;
    const std::string name = numbered("Cursor_Scattered_", kind);
    if (sprite::SpriteBase* scattered = SceneRoom::find(this, name.c_str()))
        scattered->setVisible(visible);
}

bool OuterSanctum::rowHolds(int kind) const
{
    for (int i = 0; i < PLACES; ++i)
        if (placeKind(i) == kind)
            return true;
    return false;
}

void OuterSanctum::holdKind(int kind)
{
    m_nHeldKind = kind;
    SceneRoom::playSound(SOUND_PICK);
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->setSpecialCursor(CURSOR_BRUSH, false, kind);
}

int OuterSanctum::mouseDown(window::Event* e)
{
    const int attempts = m_nAttempts;
    const int result = Room::mouseDown(e);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c && c->isGameInstructionsShowing())
        return result;
    // The click that turned the stones over to a new code (the script's
    // new puzzle forgets the rows tried) does nothing more.
    if (attempts > 0 && m_nAttempts == 0)
        return result;
    m_nLastClickX = e->x;
    m_nLastClickY = e->y;
    if (!m_bAllowClicks)
        return result;
    if (c && c->isOverGameInsQuestionMark(e->x, e->y)) {
        SceneInstructions::open(this, INSTRUCTIONS_GAME);
        return COMMAND_READY;
    }
    if (ScriptValues::getBool("LF_solvedOuterSanctumPuzzle"))
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    if (!m_bHolding)
        return pressEmptyHand(x, y, result);
    pressHolding(x, y);
    return result;
}

int OuterSanctum::pressEmptyHand(int x, int y, int result)
{
    if (buttonHit("LeverClickRect", x, y)) {
        callScript(kScriptTable, "pullLever");
        evaluateRow();
        return COMMAND_READY;
    }
    for (int i = 0; i < KINDS; ++i) {
        if (!buttonHit(numbered("PieceChoice_", i).c_str(), x, y))
            continue;
        showScattered(i, false);
        holdKind(m_choices[i].kind);
        m_bHolding = true;
        return result;
    }
    for (int i = 0; hasRow() && i < PLACES; ++i) {
        PieceInfo& place = m_pieces[size_t(i)];
        if (place.kind < 0 || !buttonHit(numbered("RowClickRect_", i).c_str(), x, y))
            continue;
        const int kind = place.kind;
        showScattered(kind, false);
        if (place.sprite)
            place.sprite->setVisible(false);
        holdKind(kind);
        place.kind = EMPTY;
        m_bHolding = true;
        return result;
    }
    // The lever of a row not yet full, or an empty place with no colour
    // picked: the script says what comes first.
    if (spotHit("LeverClickRect", x, y)) {
        callNotice(kScriptTable, "rowNotFull");
        return result;
    }
    for (int i = 0; hasRow() && i < PLACES; ++i) {
        if (spotHit(numbered("RowClickRect_", i).c_str(), x, y)) {
            callNotice(kScriptTable, "pickFirst");
            break;
        }
    }
    return result;
}

void OuterSanctum::pressHolding(int x, int y)
{
    bool swapped = false;
    for (int i = 0; hasRow() && i < PLACES; ++i) {
        const std::string rect = numbered("RowClickRect_", i);
        if (!buttonHit(rect.c_str(), x, y))
            continue;
        PieceInfo& place = m_pieces[size_t(i)];
        if (rowHolds(m_nHeldKind)) {
            // A kind stands only once in a row.
            if (place.kind == EMPTY)
                callScript(kScriptTable, "paintAgain");
            continue;
        }
        sprite::ButtonMixin* button = SceneRoom::findButton(this, rect.c_str());
        if (button && button->getState() != sprite::ButtonMixin::SELECTED &&
            button->getState() != sprite::ButtonMixin::SELECTED_ROLLOVER)
            button->setState(sprite::ButtonMixin::NORMAL);
        if (place.kind == EMPTY) {
            const std::string piece = numbered("RowPiece_0_", i);
            if (sprite::SpriteBase* found = SceneRoom::find(this, piece.c_str()))
                place.sprite = found;
            place.kind = m_nHeldKind;
            if (place.sprite) {
                if (place.sprite->isInstanceOf("AnimateSprite"))
                    static_cast<sprite::AnimateSprite*>(place.sprite)->setFrame(m_nHeldKind);
                place.sprite->setVisible(true);
                place.sprite->setColorBalance(0, kAsDrawn, kAsDrawn, kAsDrawn);
                place.sprite->setAlphaDestination(PLACE_ALPHA, PLACE_FADE_FRAMES, 0);
            }
            showScattered(m_nHeldKind, true);
            SceneRoom::playSound(SOUND_PLACE);
            break;
        }
        const int taken = place.kind;
        place.kind = m_nHeldKind;
        if (place.sprite && place.sprite->isInstanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite*>(place.sprite)->setFrame(m_nHeldKind);
        showScattered(m_nHeldKind, true);
        SceneRoom::playSound(SOUND_PLACE);
        showScattered(taken, false);
        holdKind(taken);
        swapped = true;
        break;
    }
    bool full = hasRow();
    for (int i = 0; i < PLACES; ++i)
        full = full && placeKind(i) != EMPTY;
    if (sprite::ButtonMixin* lever = SceneRoom::findButton(this, "LeverClickRect"))
        lever->setEnabled(full);
    SceneRoom::setFrame(this, "Lever", full ? 1 : 0);
    if (swapped)
        return;
    m_bHolding = false;
    if (LanternfieldCanvas* c = SceneRoom::canvas())
        c->dropSpecialCursor();
    SceneRoom::playSound(SOUND_EMPTY_HAND);
    showScattered(m_nHeldKind, true);
    m_nHeldKind = EMPTY;
}

int OuterSanctum::mouseUp(window::Event* e)
{
    if (m_bHolding && m_bAllowClicks &&
        (std::abs(e->x - m_nLastClickX) >= DROP_DISTANCE || std::abs(e->y - m_nLastClickY) >= DROP_DISTANCE)) {
        mouseDown(e);
        // Consumed: the canvas offers no button command for it.
        return HANDLED;
    }
    return sprite::DialogSprite::mouseUp(e);
}
