// BookDlgSprite.cpp: the chapter book's pages, buttons, arrows and page flip.
#include "game/menus/BookDlgSprite.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "sprites/text/TextSprite.h"
#include "windowing/window/Event.h"

#include <initializer_list>
#include <string>

HV_DEFINE_METACLASS(BookDlgSprite);

namespace {

// The chapter picture's frames.
constexpr int FRAME_COMPLETED = 0;
constexpr int FRAME_NOT_COMPLETED = 1;

// The text item with every "%1" replaced by the number.
lang::String numberedText(const std::string& key, int number)
{
    lang::String text = lang::String::loadText(key.c_str());
    text.replaceAll(lang::String("%1"), lang::String(number));
    return text;
}

// Gives a text sprite of either kind its text.
void setSpriteText(sprite::SpriteBase* s, const lang::String& text)
{
    if (!s)
        return;
    if (s->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(s)->setText(text.c_str());
    else if (s->isInstanceOf("TextSprite"))
        static_cast<sprite::TextSprite*>(s)->setText(text);
}

std::string numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

} // namespace

BookDlgSprite::BookDlgSprite()
    : sprite::DialogSprite(false),
      m_nPage(1),
      m_bLeftOver(false),
      m_bRightOver(false),
      m_bLeftUsable(false),
      m_bRightUsable(false),
      m_bFlipping(false),
      m_nFlipCountdown(-1)
{
}

void BookDlgSprite::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);
    if (sprite::SpriteBase* overlay = getSprite("PageFlip_Overlay"))
        overlay->setVisible(false);
    m_bShown = true;
}

void BookDlgSprite::open(int chapter, bool puzzleActive)
{
    const int step = getFadeStep();
    fade(step < 0 ? -step : step);
    showChapterPage(chapter);
    layoutMenuButtons(puzzleActive);
}

void BookDlgSprite::layoutMenuButtons(bool withInstructions)
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    int game = -1;
    int x = 0;
    int y = 0;
    if (canvas)
        canvas->getGameInstructionsInfo(game, x, y);
    if (game < 0)
        withInstructions = false;
    sprite::SpriteBase* options = getSprite("bMenuOptions");
    sprite::SpriteBase* endGame = getSprite("EndGame");
    if (options)
        options->setPosition(withInstructions ? OPTIONS_X_WITH_INSTRUCTIONS : OPTIONS_X_ALONE, BUTTON_ROW_Y);
    if (endGame)
        endGame->setPosition(withInstructions ? END_GAME_X_WITH_INSTRUCTIONS : END_GAME_X_ALONE, BUTTON_ROW_Y);
    if (sprite::SpriteBase* instructions = getSprite("bMenuInstructions"))
        instructions->setVisible(withInstructions);
}

void BookDlgSprite::showChapterPage(int n)
{
    m_nPage = n;
    setSpriteText(getSprite("ChapterTitleText"), numberedText(numbered("STR_CHAPTER_TITLE_", n), n));
    setSpriteText(getSprite("ChapterDescriptionText"), numberedText(numbered("STR_CHAPTER_DESCRIPTION_", n), n));

    for (int i = 1; i <= CHAPTER_COUNT; ++i) {
        for (const char* prefix : {"ChapterPictureColor_", "ChapterPictureBW_"}) {
            if (sprite::SpriteBase* picture = getSprite(numbered(prefix, i).c_str()))
                picture->setVisible(false);
        }
    }
    sprite::SpriteBase* picture = getSprite(numbered("ChapterPictureColor_", n).c_str());
    if (picture)
        picture->setVisible(true);

    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    ProgressRecord* progress = canvas ? canvas->getProgress() : nullptr;
    const int current = progress ? progress->chapter : 1;
    const int completed = progress ? progress->maxChapter : 0;
    bool play = false;
    bool resume = false;
    bool replay = false;
    if (n == current) {
        // The chapter in play: a new game plays it, a game under way resumes.
        if (canvas && canvas->isResetGame())
            play = true;
        else
            resume = true;
    } else if (n <= completed || n < current) {
        // Every other chapter finished is played again (resuming would only
        // go back to the chapter in play).
        replay = true;
    } else {
        play = true;
    }
    if (sprite::SpriteBase* s = getSprite("PlayButton"))
        s->setVisible(play);
    if (sprite::SpriteBase* s = getSprite("ResumeGame"))
        s->setVisible(resume);
    if (sprite::SpriteBase* s = getSprite("ReplayGame"))
        s->setVisible(replay);

    const bool complete = n <= completed;
    if (sprite::SpriteBase* mark = getSprite("ChapterComplete"))
        mark->setVisible(complete);
    if (picture && picture->isInstanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(picture)->setFrame(complete ? FRAME_COMPLETED : FRAME_NOT_COMPLETED);
    updateArrows();
}

void BookDlgSprite::updateArrows()
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    ProgressRecord* progress = canvas ? canvas->getProgress() : nullptr;
    const int completed = progress ? progress->maxChapter : 0;
    m_bLeftUsable = m_nPage != 1;
    m_bRightUsable = m_nPage <= completed && m_nPage < CHAPTER_COUNT;
    if (sprite::SpriteBase* s = getSprite("ArrowLeftNormal"))
        s->setVisible(m_bLeftUsable);
    if (sprite::SpriteBase* s = getSprite("ArrowRightNormal"))
        s->setVisible(m_bRightUsable);
    for (const char* name : {"ArrowLeftRollover", "ArrowRightRollover"}) {
        if (sprite::SpriteBase* s = getSprite(name))
            s->setVisible(false);
    }
    if (sprite::SpriteBase* back = getSprite("BackToChapterText")) {
        if (m_bLeftUsable)
            setSpriteText(back, numberedText("STR_BACK_TO_CHAPTER", m_nPage - 1));
        back->setVisible(m_bLeftUsable);
    }
    if (sprite::SpriteBase* next = getSprite("NextChapterText")) {
        if (m_bRightUsable)
            setSpriteText(next, numberedText("STR_CONTINUE_TO_CHAPTER", m_nPage + 1));
        next->setVisible(m_bRightUsable);
    }
}

void BookDlgSprite::startPageFlip()
{
    if (m_bFlipping)
        return;
    if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance)
        canvas->playSound(SOUND_PAGE_FLIP);
    if (sprite::SpriteBase* overlay = getSprite("PageFlip_Overlay"))
        overlay->setVisible(true);
    m_bFlipping = true;
    m_nFlipCountdown = FLIP_FRAMES;
}

bool BookDlgSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bVisible && m_bFlipping && --m_nFlipCountdown < 0) {
        m_bFlipping = false;
        if (sprite::SpriteBase* overlay = getSprite("PageFlip_Overlay"))
            overlay->setVisible(false);
        showChapterPage(m_nPage);
    }
    return sprite::DialogSprite::tick(frame, boundsOut, region);
}

int BookDlgSprite::mouseDown(window::Event* e)
{
    const int result = sprite::DialogSprite::mouseDown(e);
    if (result == COMMAND_READY) {
        const lang::String& command = getLastCommand();
        if (command.equals("bMenuOptions") || command.equals("bMenuInstructions"))
            return COMMAND_READY;
        if (command.equals("ResumeGame") || command.equals("EndGame")) {
            fadeOut();
            return COMMAND_READY;
        }
        if (command.equals("PlayButton") || command.equals("ReplayGame")) {
            if (ScriptHost* host = ScriptHost::instance)
                host->callLuaFunction("LF_setGlobalISpyActive", 0);
            LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
            if (canvas) {
                canvas->leaveCurrentRoom();
                if (ProgressRecord* progress = canvas->getProgress())
                    progress->chapter = m_nPage;
                if (command.equals("ReplayGame"))
                    canvas->setVignetteNotSeen(m_nPage);
            }
            fadeOut();
            return COMMAND_READY;
        }
    }
    if (m_bFlipping)
        return result;

    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    sprite::SpriteBase* left = getSprite("ArrowLeftNormal");
    sprite::SpriteBase* right = getSprite("ArrowRightNormal");
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    ProgressRecord* progress = canvas ? canvas->getProgress() : nullptr;
    const int completed = progress ? progress->maxChapter : 0;
    if (m_bLeftUsable && left && left->hittest(x, y)) {
        if (m_nPage > 1) {
            --m_nPage;
            startPageFlip();
        }
    } else if (m_bRightUsable && right && right->hittest(x, y) && m_nPage <= completed) {
        ++m_nPage;
        if (m_nPage <= completed || (canvas && canvas->getVignetteSeen(m_nPage) != 0))
            startPageFlip();
        else
            startPageChapter();
    }
    return result;
}

void BookDlgSprite::startPageChapter()
{
    LanternfieldCanvas* canvas = LanternfieldCanvas::instance;
    if (!canvas)
        return;
    canvas->leaveCurrentRoom();
    fadeOut();
    if (ProgressRecord* progress = canvas->getProgress())
        progress->chapter = m_nPage;
    canvas->startChapter();
}

bool BookDlgSprite::trackArrow(bool usable, bool& over, const char* normal, const char* rollover, int x, int y)
{
    sprite::SpriteBase* normalSprite = getSprite(normal);
    if (!usable || !normalSprite)
        return false;
    const bool inside = normalSprite->hittest(x, y);
    if (inside == over)
        return false;
    over = inside;
    normalSprite->setVisible(!inside);
    if (sprite::SpriteBase* rolloverSprite = getSprite(rollover))
        rolloverSprite->setVisible(inside);
    return true;
}

bool BookDlgSprite::mouseMove(window::Event* e)
{
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    bool changed = trackArrow(m_bLeftUsable, m_bLeftOver, "ArrowLeftNormal", "ArrowLeftRollover", x, y);
    if (trackArrow(m_bRightUsable, m_bRightOver, "ArrowRightNormal", "ArrowRightRollover", x, y))
        changed = true;
    return changed ? true : sprite::DialogSprite::mouseMove(e);
}

int BookDlgSprite::keyDown(int)
{
    return NOT_HANDLED;
}
