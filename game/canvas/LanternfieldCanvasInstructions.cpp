// LanternfieldCanvasInstructions.cpp: when a mini-game's instructions panel
// opens by itself and when only its question mark shows, what it covers
// while open, the per-game flags the scripts keep for it, and the small
// operations the puzzles call.
#include "game/canvas/LanternfieldCanvas.h"

#include "core/lang/Owned.h"
#include "game/dialogs/GameInstructDialog.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/script/ScriptHost.h"

namespace {

// The question mark keeps a selected state (3 or 4) when it is enabled.
bool isSelectedState(int state)
{
    return state == sprite::ButtonMixin::SELECTED || state == sprite::ButtonMixin::SELECTED_ROLLOVER;
}

} // namespace

bool LanternfieldCanvas::getShowGameInstructions(int game)
{
    // Taken as unsigned, so -1 is out of range as well.
    ScriptHost* host = ScriptHost::instance;
    if (unsigned(game) >= unsigned(GAME_COUNT) || !host || !host->getState())
        return false;
    // The scripts number the games from 1.
    host->callLuaFunctionIntResult("LF_getShowGameInstructions", game + 1);
    return host->popLuaBoolean();
}

void LanternfieldCanvas::setShowGameInstructions(int game, bool show)
{
    ScriptHost* host = ScriptHost::instance;
    if (unsigned(game) >= unsigned(GAME_COUNT) || !host)
        return;
    host->callLuaFunction(show ? "LF_setShowGameInstructions" : "LF_clearShowGameInstructions", game + 1);
}

void LanternfieldCanvas::queueGameInstructions(int x, int y, int game, int delay)
{
    if (getShowGameInstructions(game)) {
        m_nQueuedX = x;
        m_nQueuedY = y;
        m_nQueuedGame = game;
        lang::String command("ExpandInstructions");
        scheduleAction(delay, &command, 0, nullptr, nullptr);
        return;
    }
    showGameInstructions(x, y, game, true, false, 8, 50, 50, 0.1f, 1.0f);
}

void LanternfieldCanvas::showGameInstructions(int x, int y, int game, bool show, bool grow, int steps, int originX,
                                              int originY, float startScale, float endScale)
{
    auto* panel = static_cast<GameInstructDialog*>(getDialog(DIALOG_GAME_INSTRUCTIONS));
    if (!show) {
        if (panel)
            panel->setGame(game, false);
        showSprite("GameInsQuestionMark", false);
        showGameInsDimmer(false);
        return;
    }
    if (grow) {
        showSprite("GameInsQuestionMark", false);
        if (panel)
            panel->zoom(game, false, x, y, steps, originX, originY, startScale, endScale);
        showGameInsDimmer(true);
        setShowGameInstructions(game, false);
        return;
    }
    if (getShowGameInstructions(game)) {
        showSprite("GameInsQuestionMark", false);
        if (panel) {
            panel->setPosition(x - panel->width() / 2, y - panel->height() / 2);
            panel->setScale(1.0);
            panel->setGame(game, true);
        }
        showGameInsDimmer(true);
        if (sprite::SpriteBase* dimmer = getSprite("GameInsDimmer"))
            dimmer->setAlphaBalance(128);
        setShowGameInstructions(game, false);
        return;
    }
    showGameInsQuestionMark();
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    sprite::ButtonMixin* button = mark ? sprite::ButtonMixin::fromSprite(mark) : nullptr;
    if (button && !isSelectedState(button->getState()))
        button->setEnabled(true);
    showGameInsDimmer(false);
    setShowGameInstructions(game, false);
}

bool LanternfieldCanvas::isGameInstructionsShowing()
{
    return isSpriteVisible("GameInstructions");
}

bool LanternfieldCanvas::isGameInsQuestionMarkShowing()
{
    return isSpriteVisible("GameInsQuestionMark");
}

void LanternfieldCanvas::showGameInsQuestionMark()
{
    showSprite("GameInsQuestionMark", true);
}

void LanternfieldCanvas::disableGameInsQuestionMark()
{
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    if (sprite::ButtonMixin* button = mark ? sprite::ButtonMixin::fromSprite(mark) : nullptr)
        button->setEnabled(false);
}

bool LanternfieldCanvas::isOverGameInsQuestionMark(int x, int y)
{
    sprite::SpriteBase* mark = getSprite("GameInsQuestionMark");
    sprite::ButtonMixin* button = mark ? sprite::ButtonMixin::fromSprite(mark) : nullptr;
    return mark && mark->isVisible() && (button ? button->hitAndEnabled(x, y) : mark->hittest(x, y));
}

bool LanternfieldCanvas::isCoveredByGameInstructions(int x, int y)
{
    // An open mini-game instructions panel is modal: its dimmer greys all
    // beneath it, and a press beside the panel, or on it while it grows or
    // shrinks, is dropped, never acted on unseen under it (an exit taken).
    // A dialog put over the panel (the pause's book) takes its presses.
    auto* panel = static_cast<GameInstructDialog*>(getDialog(DIALOG_GAME_INSTRUCTIONS));
    if (!panel || !panel->isVisible())
        return false;
    for (int i = getChildCount() - 1; i >= 0; --i) {
        sprite::SpriteBase* s = childAt(i);
        if (!s)
            continue;
        lang::Owned owned(s);
        if (s == panel)
            return panel->isZooming() || !panel->hittest(x, y);
        if (s->isVisible() && s->isInstanceOf("DialogSprite") && s->hittest(x, y))
            return false;
    }
    return false;
}

void LanternfieldCanvas::showGameInsDimmer(bool show)
{
    sprite::SpriteBase* dimmer = getSprite("GameInsDimmer");
    if (!dimmer)
        return;
    if (show)
        addSpriteBehind("GameInsDimmer", dimmer, getSprite("GameInstructions"));
    dimmer->setVisible(show);
}

void LanternfieldCanvas::setGameInstructionsInfo(int game, int x, int y)
{
    m_nInstructionsGame = game;
    m_nInstructionsX = x;
    m_nInstructionsY = y;
}

void LanternfieldCanvas::getGameInstructionsInfo(int& game, int& x, int& y) const
{
    game = m_nInstructionsGame;
    x = m_nInstructionsX;
    y = m_nInstructionsY;
}
