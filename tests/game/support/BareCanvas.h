// BareCanvas.h: a game canvas on the fake clock with no data loaded and no
// Lua: rooms, exits, characters and the inventory are made by the test and
// bound into the canvas's fields directly; the sounds it plays are noted.
#pragma once

#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "game/ambient/AmbientAnimManager.h"
#include "game/ambient/AmbientSoundManager.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/kernel/Clock.h"
#include "sound/clip/AudioClip.h"
#include "sprites/containers/SpriteDefinition.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/sprites/support/DefinitionLists.h"
#include "windowing/window/Event.h"

#include <string>
#include <vector>

namespace gametest {

class BareCanvas : public testsupport::RecordingCanvas<LanternfieldCanvas> {
public:
    // New ambient managers, made as the set-up makes them: the animals'
    // templates are the canvas's sprites of their names at this moment.
    void makeAmbientManagers()
    {
        delete m_pAmbientAnims;
        m_pAmbientAnims = new AmbientAnimManager();
        delete m_pAmbientSounds;
        m_pAmbientSounds = new AmbientSoundManager();
    }
    void bindRoom(int i, Room* room) { m_rooms[i] = room; }
    void bindCharacter(int i, Character* character) { m_characters[i] = character; }
    void bindInventory(Inventory* inventory) { m_pInventory = inventory; }
    void forceGameState(int state) { m_nGameState = state; }
    // The canvas takes the clip's reference as its music clip.
    void useMusicClip(window::AudioClip* clip) { m_pMusicClip = clip; }

    // A sound table of `count` silent clips, whose plays are noted by index.
    void giveSounds(int count)
    {
        lang::ObjectArray clips;
        clips.setLength(count);
        for (int i = 0; i < count; ++i)
            *clips.at(i) = new window::AudioClip();
        setSoundTableAndReset(&clips);
        for (int i = 0; i < count; ++i)
            (*clips.at(i))->release();
    }
    using LanternfieldCanvas::playSound;
    void playSound(window::AudioClip* clip) override
    {
        lang::ObjectArray& table = sprite::GameCanvas3::m_sounds;
        for (int i = 0; i < table.length(); ++i) {
            if (*table.at(i) == clip)
                playedSounds.push_back(i);
        }
        testsupport::RecordingCanvas<LanternfieldCanvas>::playSound(clip);
    }
    // The indexes of the sounds played, in order.
    std::vector<int> playedSounds;
};

// A room definition of numbers only.
class NumbersDefinition : public sprite::SpriteDefinition {
public:
    explicit NumbersDefinition(std::initializer_list<int> values)
    {
        lang::IntArray* list = spritetest::numberList(values);
        m_numbers = *list;
        list->release();
    }
    util::Hashtable* getNames() override { return nullptr; }
    lang::IntArray* getNumbers() override { return &m_numbers; }
    util::Hashtable* getImages() override { return nullptr; }

private:
    lang::IntArray m_numbers;
};

class BareWorld {
public:
    BareWorld()
    {
        platform::setClock(&clock);
        canvas = new BareCanvas();
        root = new util::Vector(10);
        names = new util::Hashtable();
        names->setStringKeys(true);
        canvas->takeLoadedData(root, names, nullptr, nullptr, nullptr);
        canvas->resetProgress();
        canvas->forceGameState(LanternfieldCanvas::STATE_PLAYING);
    }
    ~BareWorld()
    {
        canvas->release();
        root->release();
        names->release();
        for (lang::Object* o : made)
            o->release();
        platform::setClock(nullptr);
    }
    BareWorld(const BareWorld&) = delete;
    BareWorld& operator=(const BareWorld&) = delete;

    // Room `index` of the table, named after the table, on the canvas's
    // root list, with the definition numbers given (door count first).
    template <class R = Room>
    R* addRoom(int index, std::initializer_list<int> definition)
    {
        auto* room = new R();
        NumbersDefinition numbers(definition);
        room->setDefinition(&numbers);
        room->configure(nullptr, nullptr);
        room->setSize(800, 600);
        canvas->addSprite(LanternfieldCanvas::kRoomNames[index], room, -1);
        canvas->bindRoom(index, room);
        made.push_back(room);
        return room;
    }
    // An exit configured from `numbers`, added to the room as "Door<i>".
    DoorSprite* addDoor(Room* room, int i, std::initializer_list<int> numbers, lang::ObjectArray* images = nullptr)
    {
        auto* door = new DoorSprite();
        lang::IntArray* list = spritetest::numberList(numbers);
        door->configure(images, list);
        list->release();
        room->addChild(("Door" + std::to_string(i)).c_str(), door);
        door->release();
        return door;
    }
    // Makes the room current and entered.
    void enter(int index)
    {
        canvas->getProgress()->currentRoom = index;
        canvas->getRoom(index)->onEnter();
    }
    // A press or a move at (x, y) handed to the room.
    int pressAt(Room* room, int x, int y) { return withEvent(room, window::Event::MOUSE_DOWN, x, y); }
    int moveTo(Room* room, int x, int y) { return withEvent(room, window::Event::MOUSE_MOVE, x, y); }

    int withEvent(Room* room, int id, int x, int y)
    {
        auto* e = new window::Event(room, id, room);
        e->x = x;
        e->y = y;
        int result = id == window::Event::MOUSE_DOWN ? room->mouseDown(e) : int(room->mouseMove(e));
        e->release();
        return result;
    }

    platform::FakeClock clock{50000};
    BareCanvas* canvas = nullptr;
    util::Vector* root = nullptr;
    util::Hashtable* names = nullptr;
    std::vector<lang::Object*> made;
};

} // namespace gametest
