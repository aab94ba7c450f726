// Bridge.cpp: the bridge's memory game: rounds, their preview, the player's
// choices and the counters the scripts keep.
#include "scenes/bridge/Bridge.h"

#include "core/lang/Synchronized.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "scenes/common/DefinitionNumbers.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "scenes/common/ScriptValues.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(Bridge);

const char Bridge::kScriptTable[] = "Bridge";

namespace {

// The choice pictures' frames: lit (in the preview and while pressed),
// under the mouse, at rest.
constexpr int kFrameLit = 0;
constexpr int kFrameHover = 1;
constexpr int kFrameRest = 2;
// The preview starts this many frames (+ 1) after a round is set up or
// shown again; the turn passes this many (+ 1) after "preview_done".
constexpr int kPreviewDelay = 10;
constexpr int kTurnDelay = 1;
// The cursors of the exits and of the rest of the room.
constexpr int kCursorNorth = 0;
constexpr int kCursorNormal = 8;
const char kPicturePrefix[] = "bChoice";
// The script's counters.
const char kGetMatch[] = "LF_getBridgeCurrentMatch";
const char kGetSet[] = "LF_getBridgeCurrentSet";
const char kGetSetIndex[] = "LF_getBridgeCurrentSetIndex";
const char kSetMatch[] = "LF_setBridgeCurrentMatch";
const char kSetSet[] = "LF_setBridgeCurrentSet";
const char kSetSetIndex[] = "LF_setBridgeCurrentSetIndex";

bool isPlaying()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    return c && c->getGameState() == LanternfieldCanvas::STATE_PLAYING;
}

} // namespace

Bridge::Bridge()
    : m_nPreviewPosition(0),
      m_nSequenceLength(0),
      m_nPlayerStep(0),
      m_nStepDelay(0),
      m_nSetCount(0),
      m_nRoundsPerSet(0),
      m_nCurrentSet(0),
      m_nCurrentSetIndex(0),
      m_nCurrentMatch(0),
      m_nGameState(STATE_NONE),
      m_nPendingState(STATE_NONE),
      m_nStateDelay(-1),
      m_bPreviewOnly(false),
      m_ownDraw(m_random),
      m_pDraw(&m_ownDraw)
{
    for (int i = 0; i < CHOICES; ++i) {
        m_pChoices[i] = nullptr;
        m_pButtons[i] = nullptr;
        m_slotOrder[i] = i;
    }
    m_roundLengths.reserve(10);
    resetRound();
    SceneLua::bindRoomClass(this, "Bridge", luaMethods());
}

Bridge::~Bridge()
{
    resetRound();
}

int Bridge::stateNamed(const lang::String& name)
{
    static const struct {
        const char* name;
        int state;
    } kNames[] = {{"start", STATE_START},           {"preview_1", STATE_PREVIEW_1},
                  {"preview_2", STATE_PREVIEW_2},   {"startround", STATE_START_ROUND},
                  {"endround", STATE_END_ROUND},    {"preview_done", STATE_PREVIEW_DONE}};
    for (const auto& entry : kNames) {
        if (name.equalsIgnoreCase(entry.name))
            return entry.state;
    }
    return STATE_NONE;
}

void Bridge::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    DefinitionNumbers numbers(this);
    m_nSetCount = numbers.at(1);
    m_nRoundsPerSet = numbers.at(2);
    m_roundLengths.clear();
    // A count below 0 means no rounds; the lengths are read one by one, so
    // an overlong count costs only the reads the definition holds.
    const long long rounds = m_nSetCount > 0 && m_nRoundsPerSet > 0 ? (long long)m_nSetCount * m_nRoundsPerSet : 0;
    for (long long match = 0; match < rounds && 3 + match < numbers.count(); ++match) {
        int length = numbers.at(int(3 + match));
        if (length < 0 || length > MAX_STEPS) {
            window::debugLine(getName().c_str(), ": a round of ", length, " steps is taken as ",
                              length < 0 ? 0 : MAX_STEPS, "\n");
            length = length < 0 ? 0 : MAX_STEPS;
        }
        m_roundLengths.push_back(length);
    }
    if ((long long)m_roundLengths.size() < rounds)
        window::debugLine(getName().c_str(), ": the definition gives ", int(m_roundLengths.size()), " of ",
                          int(rounds), " round lengths; the others have no steps\n");
}

bool Bridge::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    lang::Synchronized guard(this, true);
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (!isVisible() || !c || c->isGameInstructionsShowing() || !isPlaying())
        return false;
    // While the room still comes in (its wipe or zoom runs), no delay runs:
    // a preview scheduled by the entry waits until the player can see it.
    if (m_nStateDelay >= 0 && !isTransitioning() && --m_nStateDelay < 0)
        enterState(m_nPendingState);
    return Room::tick(frame, boundsOut, region);
}

void Bridge::scheduleState(int state, int delay)
{
    if (!isVisible() || !isPlaying())
        return;
    m_nPendingState = state;
    m_nStateDelay = delay;
}

void Bridge::enableChoices(bool enable)
{
    for (sprite::ButtonMixin* button : m_pButtons) {
        if (button)
            button->setEnabled(enable);
    }
}

void Bridge::playChoiceSound(sprite::AnimateSprite* picture)
{
    const lang::String& name = picture->getName();
    const int length = name.length();
    if (length < 7 || !name.startsWith(kPicturePrefix))
        return;
    const char k = name.c_str()[length - 1];
    if (k >= '0' && k <= '9')
        SceneRoom::playSound(SOUND_CHOICE + (k - '0'));
}

void Bridge::showSlot(int slot, int frame)
{
    if (slot >= 0 && slot < CHOICES && m_pChoices[slot])
        m_pChoices[slot]->setFrame(frame);
}

void Bridge::lightStep(int step)
{
    const int slot = step >= 0 && step < MAX_STEPS ? m_sequence[step] : -1;
    if (slot < 0 || slot >= CHOICES || !m_pChoices[slot])
        return;
    playChoiceSound(m_pChoices[slot]);
    m_pChoices[slot]->setFrame(kFrameLit);
}

void Bridge::resetRound()
{
    for (sprite::AnimateSprite* picture : m_pChoices) {
        if (picture)
            picture->setFrame(kFrameRest);
    }
    for (int& step : m_sequence)
        step = -1;
    m_nPreviewPosition = 0;
    m_nSequenceLength = 0;
    m_nPlayerStep = 0;
}

void Bridge::setupRound()
{
    resetRound();
    m_nCurrentMatch = ScriptValues::getInt(kGetMatch);
    m_nCurrentSet = ScriptValues::getInt(kGetSet);
    m_nCurrentSetIndex = ScriptValues::getInt(kGetSetIndex);
    // A match the definition gives no length for is a round without steps.
    const bool known = m_nCurrentMatch >= 0 && m_nCurrentMatch < int(m_roundLengths.size());
    if (!known)
        window::debugLine(getName().c_str(), ": match ", m_nCurrentMatch, " has no length; it has no steps\n");
    m_nSequenceLength = known ? m_roundLengths[size_t(m_nCurrentMatch)] : 0;
    m_nStepDelay = STEP_DELAY;
    for (int i = 0; i < m_nSequenceLength; ++i)
        m_sequence[i] = m_pDraw->nextInt(CHOICES - 1);
    RandomDraw::shuffle(*m_pDraw, m_sequence, m_nSequenceLength);

    for (int s = 0; s < CHOICES; ++s)
        m_slotOrder[s] = s;
    RandomDraw::shuffle(*m_pDraw, m_slotOrder, CHOICES);
    for (int k = 1; k <= CHOICES; ++k) {
        if (sprite::SpriteBase* picture = SceneRoom::find(this, (kPicturePrefix + std::to_string(k)).c_str()))
            picture->setVisible(false);
    }
    for (int s = 0; s < CHOICES; ++s) {
        const std::string number = std::to_string(m_slotOrder[s] + 1);
        m_pChoices[s] = SceneRoom::findAnimation(this, (kPicturePrefix + number).c_str());
        m_pButtons[s] = SceneRoom::findButton(this, ("ClickChoice_" + number).c_str());
        if (m_pChoices[s]) {
            m_pChoices[s]->setVisible(true);
            m_pChoices[s]->setFrame(kFrameRest);
        }
        if (m_pButtons[s])
            m_pButtons[s]->setEnabled(true);
    }
}

void Bridge::endPreview()
{
    if (m_bPreviewOnly)
        return;
    // A round without steps has nothing to repeat: it is complete at once.
    if (m_nSequenceLength == 0)
        completeRound();
    else
        enterState(STATE_PLAYER_TURN);
}

void Bridge::completeRound()
{
    ++m_nCurrentSetIndex;
    m_nPlayerStep = 0;
    ++m_nCurrentMatch;
    ScriptValues::set(kSetMatch, m_nCurrentMatch);
    int finishedSet = -1;
    if (m_nCurrentSetIndex >= m_nRoundsPerSet) {
        ++m_nCurrentSet;
        m_nCurrentSetIndex = 0;
        ScriptValues::set(kSetSet, m_nCurrentSet);
        finishedSet = m_nCurrentSet;
    }
    ScriptValues::set(kSetSetIndex, m_nCurrentSetIndex);
    for (sprite::AnimateSprite* picture : m_pChoices) {
        if (picture)
            picture->setFrame(kFrameRest);
    }
    callScriptInt(kScriptTable, "onCorrectAnswer", finishedSet);
}

void Bridge::enterState(int state)
{
    m_nGameState = state;
    switch (state) {
    case STATE_PREVIEW_1:
    case STATE_START:
        if (state == STATE_PREVIEW_1)
            m_bPreviewOnly = true;
        enableChoices(false);
        enterState(STATE_START_ROUND);
        break;
    case STATE_PREVIEW_2:
        m_bPreviewOnly = false;
        enableChoices(false);
        scheduleState(STATE_PREVIEW_START, kPreviewDelay);
        break;
    case STATE_START_ROUND:
        setupRound();
        scheduleState(STATE_PREVIEW_START, kPreviewDelay);
        break;
    case STATE_PLAYER_TURN:
        enableChoices(true);
        break;
    case STATE_STEP_DONE:
        enableChoices(false);
        if (++m_nPlayerStep == m_nSequenceLength)
            completeRound();
        else
            enterState(STATE_PLAYER_TURN);
        break;
    case STATE_WRONG:
        enableChoices(false);
        callScript(kScriptTable, "onWrongAnswer");
        break;
    case STATE_END_ROUND:
        enableChoices(false);
        scheduleState(STATE_START_ROUND, kPreviewDelay);
        break;
    case STATE_PREVIEW_START:
        enableChoices(false);
        m_nPreviewPosition = 0;
        // A preview of an empty sequence would light no picture at all.
        if (m_nSequenceLength == 0) {
            endPreview();
            break;
        }
        lightStep(0);
        scheduleState(STATE_PREVIEW_DARK, m_nStepDelay);
        break;
    case STATE_PREVIEW_DARK:
        if (m_nSequenceLength == 0) {
            endPreview();
            break;
        }
        showSlot(m_sequence[m_nPreviewPosition], kFrameRest);
        enableChoices(false);
        scheduleState(STATE_PREVIEW_NEXT, m_nStepDelay);
        break;
    case STATE_PREVIEW_NEXT:
        if (m_nPreviewPosition < m_nSequenceLength - 1) {
            enableChoices(false);
            lightStep(++m_nPreviewPosition);
            scheduleState(STATE_PREVIEW_DARK, m_nStepDelay);
        } else {
            endPreview();
        }
        break;
    case STATE_CORRECT:
        enableChoices(false);
        scheduleState(STATE_STEP_DONE, m_nStepDelay);
        break;
    case STATE_PREVIEW_DONE:
        m_bPreviewOnly = false;
        enableChoices(false);
        scheduleState(STATE_PLAYER_TURN, kTurnDelay);
        break;
    default:
        break;
    }
}

int Bridge::mouseDown(window::Event* e)
{
    const int result = Room::mouseDown(e);
    if (m_nGameState != STATE_PLAYER_TURN)
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (int s = 0; s < CHOICES; ++s) {
        if (!m_pButtons[s] || !m_pButtons[s]->hitAndEnabled(x, y))
            continue;
        showSlot(s, kFrameLit);
        if (m_nPlayerStep < MAX_STEPS && s == m_sequence[m_nPlayerStep]) {
            if (m_pChoices[s])
                playChoiceSound(m_pChoices[s]);
            enterState(STATE_CORRECT);
        } else {
            SceneRoom::playSound(SOUND_WRONG);
            scheduleState(STATE_WRONG, m_nStepDelay);
        }
        return COMMAND_READY;
    }
    return result;
}

int Bridge::mouseUp(window::Event* e)
{
    const int result = sprite::DialogSprite::mouseUp(e);
    if (m_nGameState != STATE_PLAYER_TURN && m_nGameState != STATE_CORRECT && m_nGameState != STATE_WRONG)
        return result;
    for (sprite::AnimateSprite* picture : m_pChoices) {
        if (picture && picture->getFrame() == kFrameLit) {
            picture->setFrame(kFrameHover);
            return COMMAND_READY;
        }
    }
    return result;
}

bool Bridge::mouseMove(window::Event* e)
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (const char* exit : {"DoorToInnerSanctum", "DoorToInnerSanctumWithBridge"}) {
        sprite::ButtonMixin* door = SceneRoom::findButton(this, exit);
        if (door && door->hitAndEnabled(x, y)) {
            if (c)
                c->setCursor(kCursorNorth, true);
            return Room::mouseMove(e);
        }
    }
    if (c)
        c->setCursor(kCursorNormal, false);
    if (m_nGameState != STATE_PLAYER_TURN)
        return Room::mouseMove(e);
    bool over = false;
    for (int s = 0; s < CHOICES; ++s) {
        const bool hit = m_pButtons[s] && m_pButtons[s]->hitAndEnabled(x, y);
        showSlot(s, hit ? kFrameHover : kFrameRest);
        over = over || hit;
    }
    return over || Room::mouseMove(e);
}

void Bridge::onEnter()
{
    // Cleared before the script's entry, so that a round the script starts
    // there keeps its length.
    m_nPreviewPosition = 0;
    m_nSequenceLength = 0;
    m_nPlayerStep = 0;
    m_nCurrentSet = 0;
    m_nCurrentSetIndex = 0;
    m_nCurrentMatch = 0;
    m_bPreviewOnly = false;
    m_nStateDelay = -1;
    Room::onEnter();
}

void Bridge::onExit()
{
    resetRound();
    // A state still pending from this visit must not run in the next.
    m_nStateDelay = -1;
    m_nPendingState = STATE_NONE;
    Room::onExit();
}
