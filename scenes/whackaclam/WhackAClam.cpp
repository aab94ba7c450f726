// WhackAClam.cpp: the pearl game room: its tuning, slots and clams from the
// definition, a new game on every entering, the air tank, the warning, the
// clicks on the clams and the end of a game.
#include "scenes/whackaclam/WhackAClam.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/SpriteAction.h"
#include "scenes/whackaclam/Clam.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/script/ScriptHost.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <algorithm>

HV_DEFINE_METACLASS(WhackAClam);

const char WhackAClam::kScriptTable[] = "WhackAClam";

namespace {

// Definition numbers: 1 pearls to collect, 2 and 3 the first slot's place;
// 5 most pearls showing at once; 7 to 10 the closed and open delays; 11
// the step delay; 13 the pearl chance in percent; 14 most pearls a clam
// gives; from 15 the clams, five numbers each, until an x of -1.
constexpr int kClamRecords = 15;
constexpr int kClamNumbers = 5;
constexpr int kEndOfClams = -1;
// Slots stand 30 pixels apart at half size, dark until lit.
constexpr int kSlotSpacing = 30;
constexpr double kSlotScale = 0.5;
constexpr int kOpaque = 255;
constexpr int kDark = 64;
constexpr int kLit = 128;
// Each of the first five games opens the clams 4 ticks shorter and keeps
// them closed 4 ticks longer than the one before.
constexpr int kRampGames = 5;
constexpr int kRampStep = 4;
// Fast opening divides the open delays by 4.
constexpr int kFastOpenDivisor = 4;
// In the end animation every step comes after 3 ticks.
constexpr int kEndDelay = 3;
// The end animation lasts 4 seconds (the scheduler's seconds flag).
constexpr int kEndSeconds = 4;
constexpr int kSecondsFlag = 1;
// The low-air warning: below a quarter of the tank, fading between alpha 0
// and 128 over 23 frames; at the end of a game it fades out over 20.
constexpr double kLowAir = 0.25;
constexpr int kWarningAlpha = 128;
constexpr int kWarningFrames = 23;
constexpr int kWarningEndFrames = 20;
// The underwater loop and the music cross-fade over 24 frames.
constexpr int kMusicFadeFrames = 24;
constexpr int kCursorNormal = 8;
constexpr int kCursorHand = 9;
// A pearl decision draws 0 .. 100.
constexpr int kPercent = 100;

// The labels over the tank: the low-air warning that pulses while air is
// left, and the steady one in its place once it has run out.
const char kWarningLabel[] = "AirTankWarning";
const char kEmptyLabel[] = "AirTankEmpty";

enum WhackCommand { FADE_OUT, FADE_IN };
const char* const kWarningCommands[] = {"fadeoutwarning", "fadeinwarning"};

} // namespace

WhackAClam::WhackAClam()
    : m_ownDraw(m_random),
      m_pDraw(&m_ownDraw),
      m_nPearlCount(10),
      m_nSlotX(100),
      m_nSlotY(700),
      m_nMostShowing(2),
      m_nClosedMin(10),
      m_nClosedMax(25),
      m_nOpenMin(25),
      m_nOpenMax(180),
      m_nStepDelay(1),
      m_nPearlChance(10),
      m_nPearlsPerClam(2),
      m_nPearlsCollected(0),
      m_nPearlsClicked(0),
      m_nPearlsShowing(0),
      m_nAirTicks(0),
      m_bEntered(false),
      m_bInactive(false),
      m_bGameOver(false),
      m_bEndAnimation(false),
      m_bAllClicked(false),
      m_bWarningGiven(false),
      m_bSlowOpen(false),
      m_nRamp(0)
{
    SceneLua::bindRoomClass(this, "WhackAClam", luaMethods());
}

WhackAClam::~WhackAClam()
{
    for (Clam* clam : m_clams)
        clam->release();
    for (sprite::SpriteBase* slot : m_slots)
        slot->release();
}

int WhackAClam::number(int i, int fallback) const
{
    return i < m_definitionInts.length() ? m_definitionInts[i] : fallback;
}

void WhackAClam::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_nPearlCount = std::max(0, number(1, m_nPearlCount));
    m_nSlotX = number(2, m_nSlotX);
    m_nSlotY = number(3, m_nSlotY);
    if (sprite::SpriteBase* pearl = SceneRoom::find(this, "Pearl")) {
        for (int i = 0; i < m_nPearlCount; ++i) {
            sprite::SpriteBase* slot = pearl->clone();
            slot->setPosition(m_nSlotX + kSlotSpacing * i, m_nSlotY);
            slot->setScale(kSlotScale);
            slot->setColorBalance(kOpaque, kDark, kDark, kDark);
            slot->setVisible(true);
            m_slots.push_back(slot);
            bringToFront(slot);
        }
    }
    m_nMostShowing = number(5, m_nMostShowing);
    m_nClosedMin = number(7, m_nClosedMin);
    m_nClosedMax = number(8, m_nClosedMax);
    m_nOpenMin = number(9, m_nOpenMin);
    m_nOpenMax = number(10, m_nOpenMax);
    m_nStepDelay = number(11, m_nStepDelay);
    m_nPearlChance = number(13, m_nPearlChance);
    m_nPearlsPerClam = number(14, m_nPearlsPerClam);
    // The clam records; a list that lacks its -1 ends where the numbers do.
    for (int i = kClamRecords; i + kClamNumbers <= m_definitionInts.length(); i += kClamNumbers) {
        const int x = m_definitionInts[i];
        if (x == kEndOfClams)
            break;
        const int type = m_definitionInts[i + 3];
        if (type < 1 || type > Clam::TYPES) {
            window::debugLine("WhackAClam: the clam at number ", i, " has no look ", type, "\n");
            continue;
        }
        Clam* clam = new Clam();
        clam->setCenter(x, m_definitionInts[i + 1]);
        clam->setScale(m_definitionInts[i + 2] / 100.0);
        if (m_definitionInts[i + 4] != 0)
            clam->setFlipType(sprite::SpriteBase::FLIP_HORIZONTAL);
        clam->setType(type);
        clam->setVisible(true);
        m_clams.push_back(clam);
    }
    // Lower clams are drawn over higher ones: ordered by their top edges,
    // equal tops keeping their order.
    std::stable_sort(m_clams.begin(), m_clams.end(), [](Clam* a, Clam* b) { return a->top() < b->top(); });
    for (Clam* clam : m_clams)
        bringToFront(clam);
    m_bShown = true;
}

void WhackAClam::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

bool WhackAClam::takesInput()
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    return !isTransitioning() && m_bEntered && !(canvas && canvas->isGameInstructionsShowing());
}

bool WhackAClam::isRunning()
{
    return takesInput() && !m_bGameOver;
}

bool WhackAClam::isLost()
{
    return takesInput() && m_bGameOver && !m_bAllClicked;
}

int WhackAClam::clamDelay(bool closed)
{
    if (m_bEndAnimation)
        return kEndDelay;
    if (closed)
        return m_pDraw->nextInt(m_nClosedMin, m_nClosedMax);
    if (m_bSlowOpen)
        return m_pDraw->nextInt(m_nOpenMin, m_nOpenMax);
    return m_pDraw->nextInt(m_nOpenMin / kFastOpenDivisor, m_nOpenMax / kFastOpenDivisor);
}

bool WhackAClam::shouldGetPearl(Clam* clam)
{
    if (m_nPearlsPerClam > 0 && clam->getPearlsGiven() >= m_nPearlsPerClam)
        return false;
    if ((m_nMostShowing > 0 && m_nPearlsShowing >= m_nMostShowing) || m_bEndAnimation)
        return false;
    return m_pDraw->nextInt(kPercent) <= m_nPearlChance;
}

sprite::SpriteBase* WhackAClam::nextPearlSlot()
{
    return m_nPearlsCollected >= 0 && m_nPearlsCollected < int(m_slots.size()) ? m_slots[m_nPearlsCollected]
                                                                               : nullptr;
}

void WhackAClam::pearlCollected()
{
    if (sprite::SpriteBase* slot = nextPearlSlot())
        slot->setColorBalance(kOpaque, kLit, kLit, kLit);
    ++m_nPearlsCollected;
}

void WhackAClam::pearlClicked()
{
    ++m_nPearlsClicked;
    if (m_nPearlsClicked == m_nPearlCount)
        m_bAllClicked = true;
    window::debugLine("*** Number of pearls clicked: ", m_nPearlsClicked, "\n");
}

void WhackAClam::activateGame(bool active)
{
    m_bInactive = !active;
    if (active)
        SceneInstructions::queue(this, INSTRUCTIONS_GAME, 1);
}

void WhackAClam::newGame()
{
    m_bEndAnimation = false;
    for (Clam* clam : m_clams)
        clam->setup(clamDelay(true), this);
    if (sprite::SpriteBase* overlay = SceneRoom::find(this, "ClamTankOverlay")) {
        // The tank's clip of the last dive goes first: the bounds read with
        // it would start a new dive with the air the last one left.
        overlay->setClipRect(nullptr);
        m_tankRect = *overlay->getBounds();
    }
    m_nAirTicks = 0;
    m_nPearlsCollected = 0;
    m_nPearlsClicked = 0;
    m_nPearlsShowing = 0;
    for (sprite::SpriteBase* slot : m_slots)
        slot->setColorBalance(kOpaque, kDark, kDark, kDark);
    m_bSlowOpen = true;
    m_bGameOver = false;
    m_bAllClicked = false;
    m_bWarningGiven = false;
    hideAirLabels();
    if (m_nRamp < kRampGames) {
        const int step = kRampStep * m_nRamp;
        m_nClosedMin += step;
        m_nClosedMax += step;
        m_nOpenMin -= step;
        m_nOpenMax -= step;
        ++m_nRamp;
    }
}

void WhackAClam::onEnter()
{
    Room::onEnter();
    m_bEntered = true;
    if (LanternfieldCanvas* canvas = SceneRoom::canvas()) {
        canvas->setNoMusic(true);
        canvas->loopSound(SOUND_UNDERWATER);
        canvas->fadeSound(SOUND_UNDERWATER, canvas->getMusicVolume(), kMusicFadeFrames, false);
        canvas->fadeSound(canvas->getMusicClip(), 0, kMusicFadeFrames, false);
    }
    newGame();
    if (LanternfieldCanvas* canvas = SceneRoom::canvas())
        canvas->setPuzzleActive(true);
    if (sprite::ButtonMixin* close = SceneRoom::findButton(this, "WhackAClamClose"))
        close->setEnabled(true);
    activateGame(false);
}

void WhackAClam::onExit()
{
    // The room's own leaving runs alone: the script's "onExit" is not called.
    setVisible(false);
    if (LanternfieldCanvas* canvas = SceneRoom::canvas()) {
        SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
        canvas->setNoMusic(false);
        canvas->fadeSound(SOUND_UNDERWATER, 0, kMusicFadeFrames, false);
        if (window::AudioClip* music = canvas->getMusicClip()) {
            canvas->loopSound(music);
            canvas->fadeSound(music, canvas->getMusicVolume(), kMusicFadeFrames, false);
        }
        canvas->setCursor(kCursorNormal, false);
    }
    hideAirLabels();
}

void WhackAClam::hideAirLabels()
{
    for (const char* name : {kWarningLabel, kEmptyLabel}) {
        if (sprite::SpriteBase* label = getSprite(name)) {
            label->setAction(nullptr, nullptr);
            label->setVisible(false);
        }
    }
}

void WhackAClam::onAirOut()
{
    // "Low on air!" would go on pulsing over a tank already empty: the
    // steady "Out of air!" stands in its place.
    hideAirLabels();
    if (sprite::SpriteBase* empty = getSprite(kEmptyLabel)) {
        empty->setAlphaBalance(kWarningAlpha);
        empty->setVisible(true);
    }
}

void WhackAClam::hideQuestionMark()
{
    if (LanternfieldCanvas* canvas = SceneRoom::canvas())
        canvas->showSprite("GameInsQuestionMark", false);
}

int WhackAClam::mouseDown(window::Event* e)
{
    // The won dive stands with its full row of pearls until it leads out:
    // a click then, on the exit as anywhere, is its own.
    if (m_bEndAnimation)
        return COMMAND_READY;
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    // The click that starts the dive (the script's, in Room::mouseDown) finds
    // every clam shut and is no late click on one.
    const bool diving = !m_bInactive;
    Room::mouseDown(e);
    // The close button leads out while the dive runs and after it is lost
    // (a won one disables it and leaves by itself).
    if (getLastCommand().equals("WhackAClamClose") && (isRunning() || isLost())) {
        m_bSlowOpen = false;
        hideQuestionMark();
        callScript(kScriptTable, "onClose");
        m_bEntered = false;
        return COMMAND_READY;
    }
    if (!isRunning())
        return NOT_HANDLED;
    window::debugLine("WhackaClam mousedown: (", e->x, ", ", e->y, ")\n");
    for (int i = int(m_clams.size()) - 1; i >= 0; --i) {
        Clam* clam = m_clams[i];
        if (!clam->hittest(e->x, e->y))
            continue;
        if (m_nPearlsClicked < m_nPearlCount) {
            window::debugLine("WhackaClam mousedown, hit clam: (", clam->left(), ", ", clam->top(), ")\n");
            const int clicked = m_nPearlsClicked;
            const bool shut = clam->getState() == Clam::STATE_CLOSED;
            const bool floating = clam->getFloatingPearl() != nullptr;
            clam->click(e->x, e->y);
            // A click that takes no pearl is told: a pearl the clam shut on
            // just before the click came vanishes as a caught one would.
            if (diving && !floating && m_nPearlsClicked == clicked)
                callNoticeInt(kScriptTable, "noPearl", shut ? 1 : 0);
        } else {
            window::debugLine("WhackaClam mousedown, hit clam: (", clam->left(), ", ", clam->top(),
                              "), ignored, too many pearls\n");
        }
        return COMMAND_READY;
    }
    return NOT_HANDLED;
}

bool WhackAClam::mouseMove(window::Event* e)
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    if (canvas && canvas->getCurrentRoom() == this) {
        bool clickable = false;
        for (Clam* clam : m_clams)
            clickable = clickable || clam->isPearlClickable(e->x, e->y);
        canvas->setCursor(!m_bAllClicked && clickable ? kCursorHand : kCursorNormal, false);
    }
    return Room::mouseMove(e);
}

bool WhackAClam::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    LanternfieldCanvas* canvas = SceneRoom::canvas();
    // A lost dive goes on ticking, so that its clams stay drawn as they are.
    if (!(isRunning() || m_bEndAnimation || m_bInactive || isLost()) || !isVisible() || !canvas ||
        canvas->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    sprite::SpriteBase* overlay = getSprite("ClamTankOverlay");
    // The air runs only while the dive runs: not while it waits for the
    // click that starts it.
    if (!m_bAllClicked && !m_bInactive && ++m_nAirTicks % AIR_TICKS == 0) {
        m_tankRect = util::RectangleNM(m_tankRect.x, m_tankRect.y + 1, m_tankRect.width, m_tankRect.height - 1);
        if (!m_bGameOver) {
            if (m_tankRect.height < 0 && m_nPearlsCollected < m_nPearlCount) {
                m_bGameOver = true;
                hideQuestionMark();
                onAirOut();
                callScript(kScriptTable, "onLose");
            } else if (overlay) {
                overlay->setClipRect(&m_tankRect);
            }
        }
    }
    // An overlay of no height gives no warning (there is no share to take),
    // nor does a dive already over.
    if (overlay && overlay->height() > 0 && !m_bWarningGiven && !m_bGameOver &&
        double(m_tankRect.height) / overlay->height() < kLowAir)
        onAirTankLow();
    if (m_nPearlsCollected == m_nPearlCount && !m_bGameOver) {
        m_bGameOver = true;
        m_bAllClicked = true;
        startEndGame();
        return true;
    }
    return Room::tick(frame, boundsOut, region);
}

void WhackAClam::onAirTankLow()
{
    m_bWarningGiven = true;
    if (sprite::SpriteBase* warning = SceneRoom::find(this, kWarningLabel)) {
        warning->setVisible(true);
        warning->setAlphaBalance(0);
        warning->setAlphaDestination(kWarningAlpha, kWarningFrames, 0);
        SpriteAction::set(warning, this, kWarningCommands[FADE_OUT]);
    }
}

bool WhackAClam::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    sprite::SpriteBase* warning = getSprite(kWarningLabel);
    if (!command || !warning)
        return false;
    switch (CommandMatch::matchPrefix(*command, kWarningCommands)) {
    case FADE_OUT:
        warning->setAlphaDestination(0, kWarningFrames, 0);
        SpriteAction::set(warning, this, kWarningCommands[FADE_IN]);
        break;
    case FADE_IN:
        warning->setAlphaDestination(kWarningAlpha, kWarningFrames, 0);
        SpriteAction::set(warning, this, kWarningCommands[FADE_OUT]);
        break;
    default:
        break;
    }
    return false;
}

void WhackAClam::startEndGame()
{
    m_bEndAnimation = true;
    if (LanternfieldCanvas* canvas = SceneRoom::canvas()) {
        lang::String* done = new lang::String("EndGameAnimationDone");
        canvas->scheduleAction(kEndSeconds, done, kSecondsFlag, nullptr, this);
        done->release();
    }
    OutputDebugStringA("starting Clam end game animation...\n");
    for (Clam* clam : m_clams)
        clam->startEndGame();
    if (sprite::SpriteBase* warning = getSprite(kWarningLabel)) {
        warning->setAction(nullptr, nullptr);
        warning->setAlphaDestination(0, kWarningEndFrames, 0);
    }
    if (sprite::ButtonMixin* close = SceneRoom::findButton(this, "WhackAClamClose"))
        close->setState(0);
    hideQuestionMark();
    if (ScriptHost* host = ScriptHost::instance)
        host->callLuaFunctionNoArgs("LF_showTaskCompleted");
    // The win is the script's at once, so that a game closed while the won
    // dive stands keeps it; "onWin" leads out at the animation's end.
    callNotice(kScriptTable, "onAllCaught");
}

void WhackAClam::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->startsWith("EndGameAnimationDone")) {
        hideQuestionMark();
        callScript(kScriptTable, "onWin");
        return;
    }
    Room::handleAction(sender, command);
}
