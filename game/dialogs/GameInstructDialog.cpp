// GameInstructDialog.cpp: the instructions panel's pictures, its grow and
// shrink, and its buttons.
#include "game/dialogs/GameInstructDialog.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/transitions/TransitionScale.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(GameInstructDialog);

const char* const GameInstructDialog::kPictureNames[GAME_COUNT] = {
    "insGamePipes",          "insGameTreasure",   "insGameWhackAClam",    "insGameConcentration",
    "insGameArtRestoration", "insGameAirCompressor", "insGameMaze",          "insGameInlay",
    "insGameBookshelf",      "insGamePegsCU",     "insGameTicTac",        "insGameCircuitBoard",
    "insGameSafeCrack",      "insGameTempleDoorPuzzle", "insGameOuterSanctum", "insGameWindRace",
    "insGameLures",          "insGameWaterfall",
};

namespace {

// The panel's transitions start or end this far from the point given.
constexpr int kOffsetX = 5;
constexpr int kOffsetY = -20;

const char kGrowDone[] = "GameInstructionsGrow";
const char kShrinkDone[] = "GameInstructionsShrink";

sprite::SpriteBase* canvasSprite(const char* name)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    return canvas ? canvas->getSprite(name) : nullptr;
}

} // namespace

void GameInstructDialog::setEndAction(const char* command)
{
    // The sprite keeps its own reference to the command.
    auto* text = new lang::String(command);
    setAction(this, text);
    text->release();
}

GameInstructDialog::GameInstructDialog() : sprite::DialogSprite(false), m_nGame(-1), m_bZooming(false) {}

void GameInstructDialog::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    m_bShown = true;
}

void GameInstructDialog::showCloseButton(bool show)
{
    if (sprite::SpriteBase* button = getSprite("closeButton"))
        button->setVisible(show);
}

void GameInstructDialog::showPlayButton(bool show)
{
    if (sprite::SpriteBase* button = getSprite("playButton"))
        button->setVisible(show);
}

void GameInstructDialog::setGame(int game, bool visible)
{
    setVisible(visible);
    showCloseButton(false);
    showPlayButton(true);
    m_nGame = game;
    if (!visible)
        return;
    for (int i = 0; i < GAME_COUNT; ++i) {
        if (sprite::SpriteBase* picture = getSprite(kPictureNames[i]))
            picture->setVisible(i == game);
    }
    if (sprite::SpriteBase* mark = getSprite("insQuestionMark")) {
        mark->setVisible(true);
        // Normal, unless it shows as selected.
        if (sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(mark))
            button->setEnabled(true);
    }
}

void GameInstructDialog::zoom(int game, bool closing, int x, int y, int frames, int originX, int originY,
                              float smallScale, float fullScale)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    m_bZooming = true;
    m_nGame = game;
    showCloseButton(false);
    showPlayButton(true);
    sprite::SpriteBase* dimmer = canvasSprite("GameInsDimmer");
    sprite::TransitionScale* transition;
    if (closing) {
        if (canvas)
            canvas->playSound(SOUND_SHRINK);
        transition = new sprite::TransitionScale(frames, getX() + kOffsetX, getY() + kOffsetY, originX, originY,
                                                 fullScale, smallScale, 0.0f, 1, 1, 1, 1, 0, 0);
        show(false, transition);
        setEndAction(kShrinkDone);
        if (dimmer) {
            dimmer->setVisible(true);
            dimmer->setAlphaDestination(0, frames, 1);
        }
    } else {
        if (canvas)
            canvas->playSound(SOUND_GROW);
        setGame(game, true);
        transition = new sprite::TransitionScale(frames, originX, originY, x + kOffsetX, y + kOffsetY, smallScale,
                                                 fullScale, 0.0f, 1, 1, 1, 1, 0, 0);
        if (sprite::SpriteBase* mark = canvasSprite("GameInsQuestionMark"))
            mark->setVisible(false);
        show(true, transition);
        setEndAction(kGrowDone);
        if (dimmer) {
            dimmer->setVisible(true);
            dimmer->setAlphaBalance(0);
            dimmer->setAlphaDestination(DIMMER_ALPHA, frames, 0);
        }
    }
    transition->reset();
    // The panel holds the transition while it runs.
    transition->release();
}

bool GameInstructDialog::handleEvent(window::Event* e)
{
    if (!e || !e->arg || !e->arg->isInstanceOf("String"))
        return false;
    const lang::String& command = *static_cast<lang::String*>(e->arg);
    if (command.startsWith(kGrowDone)) {
        m_bZooming = false;
        if (sprite::SpriteBase* mark = canvasSprite("GameInsQuestionMark"))
            mark->setVisible(false);
    } else if (command.startsWith(kShrinkDone)) {
        setVisible(false);
        m_bZooming = false;
        if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance)
            canvas->showGameInstructions(0, 0, m_nGame, true, false, ZOOM_FRAMES, ORIGIN_X, ORIGIN_Y, SMALL_SCALE,
                                         FULL_SCALE);
    }
    return false;
}

int GameInstructDialog::translateCommand(lang::String* command, lang::String*, int)
{
    if (!command)
        return KEEP_COMMAND;
    if (command->equalsIgnoreCase("playButton") || command->equalsIgnoreCase("insQuestionMark")) {
        zoom(m_nGame, true, 0, 0, ZOOM_FRAMES, ORIGIN_X, ORIGIN_Y, SMALL_SCALE, FULL_SCALE);
        return REPLACE_COMMAND;
    }
    if (command->equalsIgnoreCase("closeButton")) {
        m_bZooming = false;
        if (sprite::SpriteBase* mark = canvasSprite("GameInsQuestionMark"))
            mark->setVisible(true);
        if (sprite::SpriteBase* dimmer = canvasSprite("GameInsDimmer"))
            dimmer->setVisible(false);
        setVisible(false);
        return REPLACE_COMMAND;
    }
    return KEEP_COMMAND;
}

int GameInstructDialog::mouseDown(window::Event* e)
{
    if (m_bZooming)
        return NOT_HANDLED;
    return sprite::DialogSprite::mouseDown(e);
}
