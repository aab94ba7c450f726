// CharacterStage.h: characters built in code on a bare game canvas, as the
// data manifest builds them: each part an animated picture of its own inside
// the figure, then the definition's names and numbers; the canvas's talk
// balloon with its bitmap-font text, skip button and tails bound to them as
// the canvas's set-up binds them. Frames are stepped through the canvas.
#pragma once

#include "core/lang/ResourceFile.h"
#include "core/util/Hashtable.h"
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ScalerSprite.h"
#include "platform/user/MessageBox.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/BareCanvas.h"
#include "tests/sprites/script/ScriptTestFixture.h"
#include "tests/support/GameData.h"
#include "tests/support/TempDir.h"
#include "tests/sprites/images/TestPictures.h"
#include "tests/sprites/text/TestFont.h"

#include <lua.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace gametest {

// The folder a stage's program runs in: the archive of its text items, the
// class scripts and a script host of its own; with Lua, sprites made from
// then on get their Lua tables.
class StageFolder {
public:
    explicit StageFolder(bool withLua) : m_previousHost(ScriptHost::instance), m_bLua(withLua)
    {
        m_oldFolder = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        data.classScripts();
        data.script("Character.lua", "hv = hv or {}\nhv.Character = {}\n");
        data.script("LanternfieldCanvas.lua", "hv = hv or {}\nhv.LanternfieldCanvas = {}\n");
        host = new ScriptHost();
        if (m_bLua)
            sprite::SpriteBaseLua::connect();
    }
    ~StageFolder()
    {
        lang::ResourceFile::closeAll();
        if (m_bLua)
            sprite::SpriteBaseLua::disconnect();
        delete host;
        ScriptHost::instance = m_previousHost;
        std::filesystem::current_path(m_oldFolder);
    }
    StageFolder(const StageFolder&) = delete;
    StageFolder& operator=(const StageFolder&) = delete;

    // Writes the text items given so far to the archive and opens it.
    void openTexts() { lang::ResourceFile::open(lang::String(data.writeArchive().c_str())); }

    // Runs Lua code protected; the error message, or "" when it ran.
    std::string run(const std::string& code) { return testsupport::runLua(host->getState(), code); }
    // The sprite's table as the global `name`.
    void expose(sprite::SpriteBase* sprite, const char* name)
    {
        lua_State* L = host->getState();
        sprite::SpriteBaseLua::pushTable(L, sprite);
        lua_setglobal(L, name);
    }

    testsupport::TempDir dir;
    testsupport::GameData data{dir.path()};
    platform::MessageBoxCapture boxes;
    ScriptHost* host = nullptr;

private:
    ScriptHost* m_previousHost;
    bool m_bLua;
    std::filesystem::path m_oldFolder;
};

// One part of a figure: its name, its frames (a row of cells) and its box
// inside the figure.
struct Part {
    std::string name;
    int frames;
    int x, y, w, h;
};

// Body type B: legs, torso, head, both arms, a mouth of four frames and
// eyelids of three, each in a box of its own; and the talk-to-me button.
inline std::vector<Part> bodyB()
{
    return {
        {"LegsB", 2, 10, 80, 40, 40},  {"TorsoB", 2, 10, 40, 40, 40}, {"HeadB", 3, 15, 5, 30, 35},
        {"ArmRB", 4, 0, 40, 10, 40},   {"ArmLB", 4, 50, 40, 10, 40},  {"MouthB", 4, 25, 28, 10, 5},
        {"BlinkB", 3, 20, 15, 20, 5},  {"TalkToMeButton", 2, 44, 0, 16, 16},
    };
}

// The alternative parts of the nine townspeople.
inline std::vector<Part> townParts()
{
    std::vector<Part> parts = bodyB();
    const std::vector<Part> more = {
        {"HeadA", 3, 15, 5, 30, 35},  {"HeadD", 3, 15, 5, 30, 35},  {"TorsoB1", 2, 10, 40, 40, 40},
        {"ArmRB1", 4, 0, 40, 10, 40}, {"ArmLB1", 4, 50, 40, 10, 40}, {"HeadB1", 3, 15, 5, 30, 35},
        {"BlinkB1", 3, 20, 15, 20, 5}, {"MouthB1", 4, 25, 28, 10, 5}, {"ArmRB2", 4, 0, 40, 10, 40},
        {"ArmLB2", 4, 50, 40, 10, 40}, {"HeadB2", 3, 15, 5, 30, 35},
    };
    parts.insert(parts.end(), more.begin(), more.end());
    return parts;
}

// The names and numbers a character's nested manifest hands it.
class PartsDefinition : public sprite::SpriteDefinition {
public:
    explicit PartsDefinition(const std::vector<int>& numbers) : m_names(new util::Hashtable())
    {
        m_names->setStringKeys(true);
        m_numbers.setLength(int(numbers.size()));
        for (size_t i = 0; i < numbers.size(); ++i)
            m_numbers[int(i)] = numbers[i];
    }
    ~PartsDefinition() { m_names->release(); }
    PartsDefinition(const PartsDefinition&) = delete;
    PartsDefinition& operator=(const PartsDefinition&) = delete;

    util::Hashtable* getNames() override { return m_names; }
    lang::IntArray* getNumbers() override { return &m_numbers; }
    util::Hashtable* getImages() override { return nullptr; }

private:
    util::Hashtable* m_names;
    lang::IntArray m_numbers;
};

class CharacterStage {
public:
    // The figure's size.
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 120;
    // The talk balloon's margins (data 7 and 8 of the canvas).
    static constexpr int kPadX = 12;
    static constexpr int kPadY = 10;
    // The skip button's size and the tails' size.
    static constexpr int kSkipWidth = 40;
    static constexpr int kSkipHeight = 20;
    static constexpr int kTailWidth = 20;
    static constexpr int kTailHeight = 16;

    // With Lua: the characters get their Lua tables.
    explicit CharacterStage(bool withLua = false)
        : folder(withLua), m_font(fonttest::makeFontPicture()), m_glyphs(fonttest::makeGlyphTable())
    {
        world.canvas->setSize(800, 600);
        world.canvas->giveSounds(130);
        balloon = new TalkBalloon();
        lang::IntArray* numbers = spritetest::numberList({300, 60, 200, 80, 0, 0});
        balloon->configure(nullptr, numbers);
        numbers->release();
        balloon->setMargins(kPadX, kPadY);
        balloon->resetTextColor();
        text = makeText();
        skip = new sprite::RectButtonSprite();
        skip->setSize(kSkipWidth, kSkipHeight);
        onCanvas("TalkBalloon", balloon);
        onCanvas("TalkSkip", skip);
        for (int code = 0; code < 6; ++code) {
            tails[code] = new sprite::BoundsSprite(0, 0, kTailWidth, kTailHeight);
            onCanvas(("TalkBalloonTail_" + std::to_string(code)).c_str(), tails[code]);
            balloon->setTail(code, tails[code]);
        }
        balloon->setVisible(false);
        text->setVisible(false);
    }
    ~CharacterStage()
    {
        m_glyphs->release();
        m_font->release();
    }
    CharacterStage(const CharacterStage&) = delete;
    CharacterStage& operator=(const CharacterStage&) = delete;

    // A character of class C named `name` in canvas slot `slot` (2 on: the
    // room characters), made of the parts and given the numbers, on the
    // canvas's root list, speaking through the talk balloon.
    template <class C = Character>
    C* make(const char* name, int slot, const std::vector<int>& numbers, const std::vector<Part>& parts = bodyB())
    {
        C* c = new C();
        c->configure(nullptr, nullptr);
        c->setSize(kWidth, kHeight);
        PartsDefinition definition(numbers);
        for (const Part& part : parts) {
            sprite::AnimateSprite* s = part.name == "TalkToMeButton" ? new sprite::ScalerSprite() : nullptr;
            window::ImageWinDX* image =
                spritetest::makePicture(part.w * part.frames, part.h, [](int, int) { return 0xFFFFFFFFu; });
            if (s)
                s->setGrid(image, part.frames, 1);
            else
                s = new sprite::AnimateSprite(image, part.frames, 1);
            image->release();
            s->setAnchor(sprite::SpriteBase::ANCHOR_LEFT | sprite::SpriteBase::ANCHOR_TOP);
            s->setPosition(part.x, part.y);
            s->setName(lang::String(part.name.c_str()));
            c->bringToFront(s);
            definition.getNames()->put(part.name.c_str(), s);
            s->release();
        }
        c->setDefinition(&definition);
        c->setTalkBalloon(balloon);
        c->setTalkText(text);
        c->setSkipButton(skip);
        onCanvas(name, c);
        world.canvas->bindCharacter(slot, c);
        return c;
    }

    // A centred bitmap-font text on the canvas (the test font: glyphs 6 wide
    // at an advance of 7, lines of 10).
    sprite::NewFontSprite* makeText(const char* name = "TalkText")
    {
        auto* t = new sprite::NewFontSprite();
        t->setFont(m_font, m_glyphs);
        t->setAlignment(1);
        onCanvas(name, t);
        return t;
    }

    // Puts the sprite on the canvas under the name (the canvas holds it).
    void onCanvas(const char* name, sprite::SpriteBase* sprite)
    {
        world.canvas->addSprite(name, sprite, -1);
        world.made.push_back(sprite);
    }

    // Frames of the canvas: scheduled actions, then every sprite's tick.
    void step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            world.canvas->doFrame();
    }
    // The blips and pops the canvas played.
    int played(int sound) const
    {
        int n = 0;
        for (int s : world.canvas->playedSounds)
            n += s == sound;
        return n;
    }

    // Before the world: the world's sprites go before the script host.
    StageFolder folder;
    BareWorld world;
    TalkBalloon* balloon = nullptr;
    sprite::NewFontSprite* text = nullptr;
    sprite::RectButtonSprite* skip = nullptr;
    sprite::SpriteBase* tails[6] = {};

private:
    window::ImageWinDX* m_font;
    window::ImageWinDX* m_glyphs;
};

} // namespace gametest
