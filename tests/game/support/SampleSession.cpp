// SampleSession.cpp: a player's hands on the running sample game, and one
// run of the program on an earlier run's settings.
#include "tests/game/support/SampleSession.h"

#include "game/characters/Character.h"
#include "game/dialogs/GameInstructDialog.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"

#include <fstream>
#include <sstream>

namespace gametest {

void leaveBy(testsupport::GameWorld& world, Room* room, int i)
{
    DoorSprite* door = room->getDoor(i);
    ASSERT_NE(nullptr, door);
    world.click(door->left() + door->width() / 2, door->top() + door->height() / 2);
    world.stepFrames(30);
}

void newPlayer(testsupport::GameWorld& world, const std::string& name)
{
    typeName(world, name);
}

void pressCutSceneButton(testsupport::GameWorld& world, LanternfieldCanvas* canvas, const char* name)
{
    sprite::SpriteBase* button = canvas->getCurrentRoom()->getSprite(name);
    ASSERT_NE(nullptr, button);
    ASSERT_TRUE(button->isVisible()) << name;
    world.click(button->left() + button->width() / 2, button->top() + button->height() / 2);
    world.stepFrames(1);
}

void clickPart(testsupport::GameWorld& world, sprite::DialogSprite* d, const char* part)
{
    ASSERT_NE(nullptr, d);
    sprite::SpriteBase* s = d->getSprite(part);
    ASSERT_NE(nullptr, s) << part;
    ASSERT_TRUE(s->isVisible()) << part;
    world.click(d->left() + s->left() + s->width() / 2, d->top() + s->top() + s->height() / 2);
}

void clickPart(testsupport::GameWorld& world, LanternfieldCanvas* canvas, const char* dialog, const char* part)
{
    clickPart(world, static_cast<sprite::DialogSprite*>(canvas->getSprite(dialog)), part);
}

int SamplePlayer::current() const
{
    return m_canvas->getProgress()->currentRoom;
}

void SamplePlayer::clickOn(sprite::SpriteBase* s)
{
    m_world.click(s->left() + s->width() / 2, s->top() + s->height() / 2);
}

void SamplePlayer::clickSprite(Room* room, const char* name)
{
    sprite::SpriteBase* s = room->getSprite(name);
    ASSERT_NE(nullptr, s) << name;
    clickOn(s);
}

void SamplePlayer::dragSprite(sprite::SpriteBase* s, int dx, int dy, int ox, int oy)
{
    const int x = ox + s->left() + s->width() / 2;
    const int y = oy + s->top() + s->height() / 2;
    m_world.mouseMove(x, y);
    m_world.mouseDown(x, y);
    for (int step = 1; step <= 4; ++step)
        m_world.mouseMove(x + dx * step / 4, y + dy * step / 4);
    m_world.mouseUp(x + dx, y + dy);
    m_world.stepFrames(1);
}

bool SamplePlayer::painted(const std::function<bool()>& done, int maxFrames)
{
    for (int i = 0; i < maxFrames && !done(); ++i)
        m_world.stepFrames(1);
    return done();
}

void SamplePlayer::walkTo(int target)
{
    Room* room = m_canvas->getRoom(current());
    ASSERT_NE(nullptr, room);
    for (int i = 0; i < room->getDoorCount(); ++i) {
        DoorSprite* door = room->getDoor(i);
        if (!door || door->getTargetRoom() != target)
            continue;
        ASSERT_TRUE(door->isEnabled()) << room->getName().c_str() << " to " << target;
        leaveBy(m_world, room, i);
        ASSERT_TRUE(arrivedIn(target))
            << room->getName().c_str() << " to " << target << " ended in " << current();
        settle();
        return;
    }
    FAIL() << room->getName().c_str() << " has no exit to " << target;
}

bool SamplePlayer::arrivedIn(int room, int maxFrames)
{
    // The wipe takes its frames; the room takes clicks once it is entered
    // and has stopped moving in.
    return painted(
        [this, room] {
            return current() == room && !m_canvas->isInTransition() && !m_canvas->getRoom(room)->isTransitioning();
        },
        maxFrames);
}

void SamplePlayer::settle()
{
    // A balloon's text is revealed and shown for a few seconds: 1000 frames
    // is far more than the longest line takes.
    painted(
        [this] {
            for (Character* c : {m_canvas->getPlayerCharacter(), m_canvas->getCharacter(1)}) {
                if (c && c->isTalking())
                    return false;
            }
            return true;
        },
        1000);
}

void SamplePlayer::takeFromBar(const char* item)
{
    Inventory* bar = m_canvas->getInventory();
    sprite::SpriteBase* s = bar->getSprite(item);
    ASSERT_NE(nullptr, s) << item;
    ASSERT_TRUE(s->isVisible()) << item;
    m_world.click(bar->left() + s->left() + 16, bar->top() + s->top() + 16);
    ASSERT_EQ(s, bar->getHeldItem()) << item;
}

bool SamplePlayer::closeInstructions(int waitFrames)
{
    auto* panel = static_cast<GameInstructDialog*>(m_canvas->getSprite("GameInstructions"));
    // The panel grows in; its button takes clicks once it stands still.
    if (!painted([panel] { return panel->isVisible() && !panel->isZooming(); }, waitFrames))
        return false;
    clickPart(m_world, panel, "playButton");
    EXPECT_TRUE(painted([panel] { return !panel->isVisible(); }, 20));
    return true;
}

SampleRun::SampleRun(const std::string& settings)
{
    if (!settings.empty())
        std::ofstream(world.folder() / "registry.txt", std::ios::binary) << settings;
    started = startSampleGame(world, frame, canvas);
}

std::string SampleRun::settings() const
{
    std::ifstream in(world.folder() / "registry.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace gametest
