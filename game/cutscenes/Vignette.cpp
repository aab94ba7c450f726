// Vignette.cpp: the slide-show cut scene: its slide groups, the slides and
// captions shown, paging, and the way out into a room or the next chapter.
#include "game/cutscenes/Vignette.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(Vignette);

namespace {

using sprite::ButtonMixin;

constexpr char kExitRoom[] = "ExitRoom";
constexpr int kExitRoomLength = 8;
// The alpha balance at which a sprite is drawn as it is: a caption faded
// in, the dimmer covering the screen.
constexpr int kFull = 128;

LanternfieldCanvas* canvas()
{
    return LanternfieldCanvas::instance;
}

sprite::SpriteBase* dimFull()
{
    return canvas() ? canvas()->getSprite("DimFull") : nullptr;
}

lang::String numbered(const char* prefix, int n)
{
    lang::String name(prefix);
    name.append(n);
    return name;
}

} // namespace

Vignette::Vignette() : m_nGroupCount(0), m_nPage(1), m_nGroup(0) {}

void Vignette::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    m_groups.clear();
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    const int length = numbers ? numbers->length() : 0;
    int declared = length > 1 ? (*numbers)[1] : 0;
    // Only whole triples present in the list are read.
    for (int g = 0, at = 2; g < declared && at + 2 < length; ++g, at += 3) {
        VignetteData data;
        data.firstSlide = (*numbers)[at];
        data.slideCount = (*numbers)[at + 1];
        data.exitRoom = (*numbers)[at + 2];
        if (data.slideCount < 0 || data.slideCount > MAX_GROUP_SLIDES) {
            window::debugLine("Vignette: group ", g, " has ", data.slideCount, " slides\n");
            data.slideCount = data.slideCount < 0 ? 0 : MAX_GROUP_SLIDES;
        }
        m_groups.push_back(data);
    }
    if (int(m_groups.size()) != declared)
        window::debugLine("Vignette: ", declared, " slide groups declared, ", int(m_groups.size()), " read\n");
    m_nGroupCount = int(m_groups.size());
    m_nGroup = 0;
    m_nPage = 1;
    m_bShown = true;
}

const Vignette::VignetteData* Vignette::currentGroup(bool quiet)
{
    if (m_groups.empty())
        return nullptr;
    if (m_nGroup < 0 || m_nGroup >= int(m_groups.size())) {
        if (!quiet)
            window::debugLine("Vignette: no slide group ", m_nGroup, "; group 0 shows\n");
        return &m_groups[0];
    }
    return &m_groups[size_t(m_nGroup)];
}

void Vignette::onEnter()
{
    // Every slide is visible as defined: all but the one entered on are
    // hidden before the room readies the pictures of its visible children,
    // so that entering decodes one slide rather than every chapter's.
    const VignetteData* current = currentGroup(true);
    for (const VignetteData& group : m_groups) {
        for (int k = 1; k <= group.slideCount; ++k) {
            if (&group == current && k == 1)
                continue;
            if (sprite::SpriteBase* slide = getSprite(numbered("Slide", group.firstSlide + k - 1).c_str()))
                slide->setVisible(false);
        }
    }
    Room::onEnter();
    setVisible(true);
    m_nPage = 1;
    showSlides();
}

void Vignette::showSlides()
{
    const VignetteData* current = currentGroup();
    for (const VignetteData& group : m_groups) {
        for (int k = 1; k <= group.slideCount; ++k) {
            const int n = group.firstSlide + k - 1;
            const bool shown = &group == current && k == m_nPage;
            const lang::String slideName = numbered("Slide", n);
            if (sprite::SpriteBase* slide = getSprite(slideName.c_str())) {
                // A slide paged past is not shown again on this visit: its
                // picture goes (it is read again should it show).
                if (slide->isVisible() && !shown)
                    slide->unloadImages();
                slide->setVisible(shown);
            }
            if (n >= FIRST_UNCAPTIONED_SLIDE)
                continue;
            const lang::String captionName = numbered("Text", n);
            sprite::SpriteBase* caption = getSprite(captionName.c_str());
            if (!caption)
                continue;
            if (shown) {
                caption->setAlphaBalance(0);
                lang::String fadeIn("FadeInText");
                if (canvas())
                    canvas()->scheduleAction(CAPTION_DELAY_FRAMES, &fadeIn, 0, caption, this);
            }
            caption->setVisible(shown);
        }
    }
    const bool last = current && m_nPage == current->slideCount;
    sprite::SpriteBase* next = getSprite("NextButton");
    sprite::SpriteBase* done = getSprite("ContinueButton");
    if (next)
        next->setVisible(current && !last);
    if (done)
        done->setVisible(last);
    // Both buttons in state 1 unless selected: what enabling does.
    for (sprite::SpriteBase* sprite : {next, done}) {
        if (ButtonMixin* button = ButtonMixin::fromSprite(sprite))
            button->setEnabled(true);
    }
}

int Vignette::mouseDown(window::Event* e)
{
    const int r = Room::mouseDown(e);
    // While the room is left (the exit below runs, or the room waits under
    // a screen transition) every press is swallowed, as the room does.
    if (m_nState == STATE_LEAVING)
        return r;
    sprite::SpriteBase* dim = dimFull();
    if (dim && dim->isVisible() && dim->getAlphaSteps() > 0)
        return r;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (const char* name : {"NextButton", "ContinueButton"}) {
        sprite::SpriteBase* button = getSprite(name);
        if (button && button->isVisible() && button->hittest(x, y)) {
            advance();
            break;
        }
    }
    return r;
}

void Vignette::advance()
{
    const VignetteData* group = currentGroup();
    if (!group)
        return;
    ++m_nPage;
    if (m_nPage <= group->slideCount) {
        showSlides();
        return;
    }
    LanternfieldCanvas* c = canvas();
    if (!c)
        return;
    if (group->exitRoom < 0) {
        // The story goes on with the next chapter, as a room script's
        // endChapter makes it.
        c->advanceChapter();
        return;
    }
    setState(STATE_LEAVING);
    if (sprite::SpriteBase* dim = dimFull()) {
        dim->setAlphaBalance(0);
        dim->setVisible(true);
        dim->setAlphaDestination(kFull, EXIT_DIM_FRAMES, 0);
    }
    lang::String exit = numbered(kExitRoom, group->exitRoom);
    c->scheduleAction(EXIT_DELAY_FRAMES, &exit, 0, nullptr, this);
}

void Vignette::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->equals("FadeInText")) {
        if (sender && sender->isInstanceOf("SpriteBase"))
            static_cast<sprite::SpriteBase*>(sender)->setAlphaDestination(kFull, CAPTION_FADE_FRAMES, 0);
        return;
    }
    if (command && command->startsWith(kExitRoom)) {
        const int room = command->substring(kExitRoomLength).toInt();
        exitTo(room);
        if (LanternfieldCanvas* c = canvas()) {
            if (Inventory* inventory = c->getInventory())
                inventory->setVisible(true);
            const int chapter = chapterNumber();
            c->setVignetteSeen(chapter);
            c->replaceMusic(c->chapterMusicName(chapter));
        }
        if (sprite::SpriteBase* dim = dimFull()) {
            dim->setAlphaBalance(kFull);
            dim->setVisible(true);
            dim->setAlphaDestination(0, ENTER_FADE_FRAMES, 1);
        }
    }
    Room::handleAction(sender, command);
}
