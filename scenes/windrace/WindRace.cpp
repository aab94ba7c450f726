// WindRace.cpp: the wind race's grid, the turning of the windsocks, the
// boat's legs and the ready-go texts.
#include "scenes/windrace/WindRace.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "platform/kernel/DebugOutput.h"
#include "scenes/common/CommandMatch.h"
#include "scenes/common/SceneInstructions.h"
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/Event.h"

#include <string>

HV_DEFINE_METACLASS(WindRace);

const char WindRace::kScriptTable[] = "WindRace";

namespace {

// A buoy's sprite has its top-left 26 left of and 34 above the buoy's
// centre, a windsock 27 left and 34 above.
constexpr int kBuoyLeft = 26;
constexpr int kSockLeft = 27;
constexpr int kAbove = 34;
// The texts: the ready text fades in over 24 frames, holds 36, fades out
// over 17; the go text the same; both stand at half alpha.
constexpr int kTextAlpha = 128;
constexpr int kTextInFrames = 24;
constexpr int kTextHoldFrames = 36;
constexpr int kTextOutFrames = 17;
// The boat's frame while it waits for the start.
constexpr int kBoatWaitingFrame = 1;
// The line that says why a click turned nothing or the race starts again,
// and its words.
const char kRaceWordSprite[] = "RaceWord";
const char kRaceWaitText[] = "STR_RACE_WAIT_GO";
const char kRaceOffCourseText[] = "STR_RACE_OFF_COURSE";
const char kRaceFixedText[] = "STR_RACE_FIXED";
// The large words over the course, their plate and what they say.
const char kRaceNewsSprite[] = "RaceNews";
const char kRaceNewsPlate[] = "RaceNewsPlate";
const char kRaceWonText[] = "STR_RACE_WON_HERE";

enum Command {
    HIT_START,
    BOAT_MOVE,
    READY_FADE_IN,
    READY_HOLD,
    READY_FADE_OUT,
    GO_FADE_IN,
    GO_HOLD,
    GO_FADE_OUT,
    SAIL_OFF,
};
const char* const kCommands[] = {"endBoatHitStartBuoy", "endBoatMove", "endReadyFadeIn", "endReadyHold",
                                 "endReadyFadeOut",     "endGoFadeIn", "endGoHold",      "endGoFadeOut",
                                 "endBoatSailOff"};

void setFrame(sprite::AnimateSprite* sprite, int frame)
{
    if (sprite)
        sprite->setFrame(frame);
}

// Plays the sprite's frames from the first to the last for ever, one a frame.
void animateForever(sprite::SpriteBase* sprite)
{
    if (sprite && sprite->isInstanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(sprite)->playAnimation(0, -1, -1, 1, false, 1);
}

} // namespace

WindRace::WindRace()
    : m_nBoatStartX(0),
      m_nUnused(0),
      m_nLaunchX(0),
      m_nBoatY(0),
      m_nStartBuoy(0),
      m_nFinishBuoy(0),
      m_nCurrentBuoy(0),
      m_pBoat(nullptr),
      m_pReadyText(nullptr),
      m_pGoText(nullptr),
      m_pWord(nullptr),
      m_pNews(nullptr)
{
    m_buoys.reserve(BUOYS);
    SceneLua::bindRoomClass(this, "WindRace", luaMethods());
}

WindRace::~WindRace()
{
    removeBuoys();
}

void WindRace::removeBuoys()
{
    for (BuoyInfo& b : m_buoys) {
        removeChild(b.fixedSprite);
        removeChild(b.turnSprite);
        for (sprite::AnimateSprite* sock : b.windsocks)
            removeChild(sock);
    }
    m_buoys.clear();
}

int WindRace::nextDirection(int index, int direction)
{
    const int row = index / SIZE;
    const int column = index % SIZE;
    const int last = SIZE - 1;
    switch (direction) {
    case LEFT:
        if (row == 0)
            return column == last ? DOWN : RIGHT;
        break;
    case RIGHT:
        if (row == last)
            return column == 0 ? UP : LEFT;
        break;
    case DOWN:
        if (column == 0)
            return row == 0 ? RIGHT : UP;
        break;
    case UP:
        if (column == last)
            return row == last ? LEFT : DOWN;
        break;
    default:
        break;
    }
    return (direction + 1) % 4;
}

int WindRace::neighbour(int index, int direction, int& frames)
{
    const int row = index / SIZE;
    const int column = index % SIZE;
    frames = direction == UP || direction == DOWN ? VERTICAL_LEG_FRAMES : HORIZONTAL_LEG_FRAMES;
    switch (direction) {
    case UP:
        return row == 0 ? -1 : index - SIZE;
    case DOWN:
        return row == SIZE - 1 ? -1 : index + SIZE;
    case RIGHT:
        return column == SIZE - 1 ? -1 : index + 1;
    case LEFT:
        return column == 0 ? -1 : index - 1;
    default:
        return -1;
    }
}

bool WindRace::validDefinition(const lang::IntArray& numbers)
{
    const char* fault = nullptr;
    if (numbers.length() < DEFINITION_NUMBERS)
        fault = "fewer than 57 numbers";
    else if (numbers[5] < 0 || numbers[5] >= BUOYS || numbers[6] < 0 || numbers[6] >= BUOYS)
        fault = "a start or finish buoy outside the grid";
    for (int i = 0; !fault && i < BUOYS; ++i) {
        const int d = numbers[FIRST_DIRECTION + i];
        if (d < UP || d > LEFT)
            fault = "a direction outside 0 to 3";
    }
    if (fault)
        OutputDebugStringA((std::string("WindRace: the definition has ") + fault + "; no grid is built\n").c_str());
    return !fault;
}

sprite::SpriteBase* WindRace::placeClone(const char* templateName, int x, int y)
{
    sprite::SpriteBase* model = SceneRoom::find(this, templateName);
    if (!model)
        return nullptr;
    sprite::SpriteBase* clone = model->clone();
    clone->setPosition(x, y);
    bringToFront(clone);
    clone->release();
    return clone;
}

void WindRace::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    removeBuoys();
    m_pBoat = SceneRoom::findAnimation(this, "Boat");
    m_pReadyText = SceneRoom::find(this, "ReadyText");
    m_pGoText = SceneRoom::find(this, "GoText");
    const lang::IntArray& numbers = getDefinitionInts();
    if (!validDefinition(numbers))
        return;
    m_nBoatStartX = numbers[1];
    m_nUnused = numbers[2];
    m_nLaunchX = numbers[3];
    m_nBoatY = numbers[4];
    m_nStartBuoy = numbers[5];
    m_nFinishBuoy = numbers[6];
    m_nCurrentBuoy = m_nStartBuoy;
    for (int i = 0; i < BUOYS; ++i) {
        BuoyInfo b;
        const int kind = numbers[FIRST_KIND + i];
        const int x = centreX(i) - kBuoyLeft;
        const int y = centreY(i) - kAbove;
        if (kind == 0) {
            b.fixedSprite = placeClone(i == m_nFinishBuoy ? "BuoyFinish" : "BuoyLocked", x, y);
        } else {
            b.turnSprite = placeClone("BuoyUnlocked", x, y);
            b.kind = kind;
        }
        m_buoys.push_back(b);
    }
    for (int i = 0; i < BUOYS; ++i) {
        BuoyInfo& b = m_buoys[size_t(i)];
        for (int d = UP; d <= LEFT; ++d) {
            const std::string name = i == m_nFinishBuoy ? std::string("CheckeredFlag")
                                     : b.kind == 0      ? "Windsock_Red_" + std::to_string(d)
                                                        : "Windsock_Green_" + std::to_string(d);
            sprite::SpriteBase* sock = placeClone(name.c_str(), centreX(i) - kSockLeft, centreY(i) - kAbove);
            if (sock && sock->isInstanceOf("AnimateSprite")) {
                b.windsocks[d] = static_cast<sprite::AnimateSprite*>(sock);
                animateForever(sock);
            } else if (sock) {
                removeChild(sock);
            }
        }
        b.initialDirection = numbers[FIRST_DIRECTION + i];
        showDirection(i, b.initialDirection);
    }
    animateForever(SceneRoom::find(this, "Windsock_Red_4"));
    for (const char* name : {kRaceNewsPlate, kRaceNewsSprite, "Boat", "ResetButton", "ReadyText", "GoText"})
        bringNamedToFront(lang::String(name));
}

void WindRace::showDirection(int index, int direction)
{
    if (index < 0 || index >= int(m_buoys.size()))
        return;
    BuoyInfo& b = m_buoys[size_t(index)];
    for (sprite::AnimateSprite* sock : b.windsocks)
        if (sock)
            sock->setVisible(false);
    b.direction = direction;
    if (sprite::AnimateSprite* sock = b.windsocks[direction & 3])
        sock->setVisible(true);
}

bool WindRace::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    return SceneRoom::pausingTick(this, frame, boundsOut, region);
}

void WindRace::say(const char* textId)
{
    m_pWord = textId;
    sprite::SpriteBase* line = getSprite(kRaceWordSprite);
    if (line && line->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(line)->setText(textId ? lang::String::loadText(textId).c_str() : "");
}

void WindRace::announce(const char* textId)
{
    m_pNews = textId;
    if (sprite::SpriteBase* plate = getSprite(kRaceNewsPlate))
        plate->setVisible(textId != nullptr);
    sprite::SpriteBase* news = getSprite(kRaceNewsSprite);
    if (news && news->isInstanceOf("NewFontSprite")) {
        static_cast<sprite::NewFontSprite*>(news)->setText(textId ? lang::String::loadText(textId).c_str() : "");
        news->setVisible(textId != nullptr);
    }
}

void WindRace::leave()
{
    // A won race left before its boat is gone leaves once only.
    if (m_pBoat)
        m_pBoat->setAction(nullptr, nullptr);
    callScript(kScriptTable, "onExit");
    callScript(kScriptTable, "gotoBehindDiveDock");
}

void WindRace::onEnter()
{
    LanternfieldCanvas* c = SceneRoom::canvas();
    if (c)
        c->setPuzzleActive(true);
    // The last visit's words go before the script's entry, which may have
    // words of its own for the race.
    say(nullptr);
    announce(nullptr);
    Room::onEnter();
    for (sprite::SpriteBase* text : {m_pReadyText, m_pGoText})
        if (text)
            text->setVisible(false);
    SceneInstructions::openOrMark(this, INSTRUCTIONS_GAME);
    if (c) {
        if (Inventory* bar = c->getInventory())
            bar->setVisible(false);
    }
    setState(STATE_RESET);
}

void WindRace::onExit()
{
    Room::onExit();
    SceneInstructions::leavePuzzle(this, INSTRUCTIONS_GAME);
}

void WindRace::getGameInstructionsInfo(int& game, int& x, int& y)
{
    game = INSTRUCTIONS_GAME;
    x = getX();
    y = getY();
}

void WindRace::enableBuoys(bool enable)
{
    for (BuoyInfo& b : m_buoys)
        if (sprite::ButtonMixin* button = b.turnSprite ? sprite::ButtonMixin::fromSprite(b.turnSprite) : nullptr)
            button->setEnabled(enable);
}

void WindRace::setResetButton(bool enable)
{
    sprite::ButtonMixin* reset = SceneRoom::findButton(this, "ResetButton");
    if (!reset)
        return;
    if (!enable)
        reset->setState(sprite::ButtonMixin::DISABLED);
    else if (!reset->isSelected())
        reset->setState(sprite::ButtonMixin::NORMAL);
}

void WindRace::sailTo(int x, int y, int frames, const char* command)
{
    if (!m_pBoat)
        return;
    m_pBoat->setDestination(x - m_pBoat->width() / 2, y - m_pBoat->height() / 2, frames);
    lang::String* name = command ? new lang::String(command) : nullptr;
    m_pBoat->setAction(command ? this : nullptr, name);
    if (name)
        name->release();
}

void WindRace::fadeText(sprite::SpriteBase* text, int alpha, int frames, const char* command)
{
    if (!text)
        return;
    text->setAlphaDestination(alpha, frames, 0);
    lang::String* name = new lang::String(command);
    text->setAction(this, name);
    name->release();
}

void WindRace::setState(int state)
{
    Room::setState(state);
    switch (state) {
    case STATE_RESET:
        enableBuoys(false);
        setResetButton(false);
        for (int i = 0; i < int(m_buoys.size()); ++i)
            showDirection(i, m_buoys[size_t(i)].initialDirection);
        setFrame(m_pBoat, kBoatWaitingFrame);
        if (m_pBoat)
            m_pBoat->setAction(nullptr, nullptr);
        m_nCurrentBuoy = m_nStartBuoy;
        if (m_pReadyText) {
            m_pReadyText->setVisible(true);
            m_pReadyText->setAlphaBalance(0);
            fadeText(m_pReadyText, kTextAlpha, kTextInFrames, kCommands[READY_FADE_IN]);
        }
        if (m_pGoText)
            m_pGoText->setVisible(false);
        setState(STATE_LAUNCH);
        break;
    case STATE_RESTART:
        setState(STATE_RESET);
        break;
    case STATE_WON:
        // The win is the script's at once; the race stands, saying so, while
        // the boat sails off, and takes no clicks but Leave's.
        enableBuoys(false);
        setResetButton(false);
        say(nullptr);
        announce(kRaceWonText);
        callScript(kScriptTable, "winGameScene");
        break;
    case STATE_LOST:
        // The boat is back at the start at once: the large words say why
        // until "Go!".
        say(nullptr);
        announce(kRaceOffCourseText);
        callScript(kScriptTable, "loseScene");
        break;
    case STATE_LAUNCH:
        if (m_pBoat) {
            m_pBoat->setPosition(m_nBoatStartX - m_pBoat->width() / 2, m_nBoatY - m_pBoat->height() / 2);
            sailTo(m_nLaunchX, m_nBoatY, LAUNCH_FRAMES, kCommands[HIT_START]);
        }
        m_nCurrentBuoy = m_nStartBuoy;
        setResetButton(true);
        break;
    default:
        break;
    }
}

void WindRace::moveBoat()
{
    if (!hasGrid())
        return;
    const int d = m_buoys[size_t(m_nCurrentBuoy)].direction;
    if (m_pBoat && m_pBoat->getFrame() != d)
        SceneRoom::playSound(SOUND_HEADING);
    setFrame(m_pBoat, d);
    int frames = 0;
    const int target = neighbour(m_nCurrentBuoy, d, frames);
    if (target < 0) {
        setState(STATE_LOST);
        return;
    }
    sailTo(centreX(target), centreY(target), frames, kCommands[BOAT_MOVE]);
    m_nCurrentBuoy = target;
}

bool WindRace::handleEvent(window::Event* e)
{
    lang::String* command = CommandMatch::actionCommand(e);
    if (!command)
        return false;
    switch (CommandMatch::matchPrefix(*command, kCommands)) {
    case HIT_START:
        SceneRoom::playSound(SOUND_HEADING);
        setFrame(m_pBoat, UP);
        sailTo(centreX(m_nStartBuoy), centreY(m_nStartBuoy), VERTICAL_LEG_FRAMES, kCommands[BOAT_MOVE]);
        break;
    case BOAT_MOVE:
        if (m_nCurrentBuoy == m_nFinishBuoy) {
            SceneRoom::playSound(SOUND_HEADING);
            setFrame(m_pBoat, UP);
            // The boat sails off the top, and then the race is left.
            if (m_pBoat)
                sailTo(m_pBoat->left() + m_pBoat->width() / 2, -m_pBoat->height() / 2, SAIL_OFF_FRAMES,
                       kCommands[SAIL_OFF]);
            if (m_nState != STATE_WON)
                setState(STATE_WON);
        } else {
            if (m_nState != STATE_RACING) {
                // The boat leaves the start buoy: what was said before the
                // race (off the course, say) has been seen.
                say(nullptr);
                setState(STATE_RACING);
            }
            moveBoat();
        }
        break;
    case READY_FADE_IN:
        fadeText(m_pReadyText, kTextAlpha, kTextHoldFrames, kCommands[READY_HOLD]);
        break;
    case READY_HOLD:
        fadeText(m_pReadyText, 0, kTextOutFrames, kCommands[READY_FADE_OUT]);
        break;
    case READY_FADE_OUT:
        if (m_pReadyText) {
            m_pReadyText->setVisible(false);
            m_pReadyText->setAction(nullptr, nullptr);
        }
        enableBuoys(true);
        // "Wait for Go!" holds no more, nor why the race started again.
        if (m_pWord == kRaceWaitText)
            say(nullptr);
        if (m_pNews == kRaceOffCourseText)
            announce(nullptr);
        SceneRoom::playSound(SOUND_GO);
        if (m_pGoText) {
            m_pGoText->setVisible(true);
            m_pGoText->setAlphaBalance(0);
            fadeText(m_pGoText, kTextAlpha, kTextInFrames, kCommands[GO_FADE_IN]);
        }
        break;
    case GO_FADE_IN:
        fadeText(m_pGoText, kTextAlpha, kTextHoldFrames, kCommands[GO_HOLD]);
        break;
    case GO_HOLD:
        fadeText(m_pGoText, 0, kTextOutFrames, kCommands[GO_FADE_OUT]);
        break;
    case GO_FADE_OUT:
        if (m_pGoText) {
            m_pGoText->setVisible(false);
            m_pGoText->setAction(nullptr, nullptr);
        }
        break;
    case SAIL_OFF:
        if (m_nState == STATE_WON)
            leave();
        break;
    default:
        break;
    }
    return false;
}

int WindRace::mouseDown(window::Event* e)
{
    if (SceneInstructions::openOnQuestionMark(this, INSTRUCTIONS_GAME, e->x, e->y))
        return COMMAND_READY;
    const int result = Room::mouseDown(e);
    if (SceneRoom::isCloseButtonHit(this, e->x, e->y)) {
        leave();
        return COMMAND_READY;
    }
    // A won race waits for its boat to sail off.
    if (m_nState == STATE_WON)
        return result;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    sprite::ButtonMixin* reset = SceneRoom::findButton(this, "ResetButton");
    if (reset && reset->hitAndEnabled(x, y)) {
        setState(STATE_RESTART);
        return COMMAND_READY;
    }
    for (int i = 0; i < int(m_buoys.size()); ++i) {
        BuoyInfo& b = m_buoys[size_t(i)];
        sprite::SpriteBase* buoySprite = b.turnSprite ? b.turnSprite : b.fixedSprite;
        sprite::AnimateSprite* sock = b.windsocks[b.direction & 3];
        if (!(buoySprite && buoySprite->hittest(x, y)) && !(sock && sock->hittest(x, y)))
            continue;
        sprite::ButtonMixin* button = b.turnSprite ? sprite::ButtonMixin::fromSprite(b.turnSprite) : nullptr;
        if (!button) {
            // A red windsock does not turn, and the click is told so (the
            // finish's flag is no windsock).
            if (i != m_nFinishBuoy)
                say(kRaceFixedText);
            continue;
        }
        // Before "Go!" the windsocks hold, and the click is told so.
        if (!button->isEnabled()) {
            say(kRaceWaitText);
            continue;
        }
        showDirection(i, nextDirection(i, b.direction));
        SceneRoom::playSound(SOUND_TURN);
        // The click did what it was for: no word of an earlier one stays.
        if (m_pWord == kRaceFixedText || m_pWord == kRaceWaitText)
            say(nullptr);
    }
    return result;
}
