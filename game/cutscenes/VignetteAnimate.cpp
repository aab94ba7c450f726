// VignetteAnimate.cpp: the animated cut scene: its pages and timetables,
// the pictures' fade-ins chained by their end messages, and the way out.
#include "game/cutscenes/VignetteAnimate.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/cutscenes/Vignette.h"
#include "game/inventory/Inventory.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

HV_DEFINE_METACLASS(VignetteAnimate);

namespace {

using sprite::ButtonMixin;

constexpr char kGraphicVisible[] = "graphicVisible";
constexpr char kGraphicWaiting[] = "graphicWaiting";

LanternfieldCanvas* animateCanvas()
{
    return LanternfieldCanvas::instance;
}

lang::String pageSprite(int page, const char* suffix, int graphic)
{
    lang::String name("Page");
    name.append(page);
    name.append(suffix);
    if (graphic > 0)
        name.append(graphic);
    return name;
}

void dropNotification(const lang::String& command, const char* where)
{
    window::debugLine("Warning: threw out notification ", command.c_str(), " in VignetteAnimate::", where, "\n");
}

} // namespace

VignetteAnimate::VignetteAnimate()
    : m_nPageCount(0),
      m_nPage(1),
      m_nFadeFrames(DEFAULT_FADE_FRAMES),
      m_nGraphic(1),
      m_nExitRoom(0),
      m_nVignetteGroup(0),
      m_bContinueOnLast(true)
{
}

void VignetteAnimate::setDefinition(sprite::SpriteDefinition* definition)
{
    Room::setDefinition(definition);
    lang::IntArray* numbers = definition ? definition->getNumbers() : nullptr;
    const int length = numbers ? numbers->length() : 0;
    auto number = [&](int i, int fallback) { return i < length ? (*numbers)[i] : fallback; };
    const int declared = number(1, 0);
    m_nExitRoom = number(2, m_nExitRoom);
    m_nVignetteGroup = number(3, m_nVignetteGroup);
    m_bContinueOnLast = number(4, 1) == 1;
    m_nFadeFrames = number(5, m_nFadeFrames);
    m_pages.clear();
    // Pages are read while the list lasts; a page of more than ten pictures
    // keeps ten, and its further times are skipped.
    int at = 6;
    for (int p = 0; p < declared && at < length; ++p) {
        VignetteData page = {};
        const int count = (*numbers)[at++];
        if (count > MAX_GRAPHICS)
            window::debugLine("VignetteAnimate: page ", p + 1, " has ", count, " pictures; ", MAX_GRAPHICS,
                              " are shown\n");
        page.graphicCount = count < 0 ? 0 : count > MAX_GRAPHICS ? MAX_GRAPHICS : count;
        for (int g = 0; g < count && at < length; ++g, ++at) {
            if (g < MAX_GRAPHICS)
                page.graphicTimes[g] = (*numbers)[at];
        }
        m_pages.push_back(page);
    }
    if (int(m_pages.size()) != declared)
        window::debugLine("VignetteAnimate: ", declared, " pages declared, ", int(m_pages.size()), " read\n");
    m_nPageCount = int(m_pages.size());
    m_nPage = 1;
    m_nGraphic = 1;
    m_bShown = true;
}

void VignetteAnimate::onEnter()
{
    Room::onEnter();
    setVisible(true);
    m_nPage = 1;
    m_nGraphic = 1;
    showPage();
}

lang::String VignetteAnimate::currentMessage(const char* prefix) const
{
    lang::String message(prefix);
    message.append(m_nPage);
    message.append("_");
    message.append(m_nGraphic);
    return message;
}

void VignetteAnimate::showPage()
{
    for (int p = 1; p <= m_nPageCount; ++p) {
        const bool current = p == m_nPage;
        const lang::String background = pageSprite(p, "_bu", 0);
        if (sprite::SpriteBase* bu = getSprite(background.c_str()))
            bu->setVisible(current);
        const VignetteData& page = m_pages[size_t(p - 1)];
        for (int g = 1; g <= page.graphicCount; ++g) {
            const lang::String name = pageSprite(p, "_graphic", g);
            sprite::SpriteBase* graphic = getSprite(name.c_str());
            if (!graphic)
                continue;
            if (!current || m_nGraphic <= 0) {
                graphic->setVisible(false);
                continue;
            }
            graphic->setVisible(true);
            // Pictures not reached yet wait transparent for their turn.
            if (g > m_nGraphic)
                graphic->setAlphaBalance(0);
            if (g != m_nGraphic)
                continue;
            graphic->setAlphaBalance(0);
            graphic->setAlphaDestination(GRAPHIC_ALPHA, m_nFadeFrames, 0);
            // The sprite keeps its own reference on the command.
            auto* message = new lang::String(currentMessage(kGraphicVisible));
            graphic->setAction(this, message);
            window::debugLine("++++++Message:", message->c_str(), "\n");
            message->release();
        }
    }
    const bool continueHere = m_nPage == m_nPageCount && m_bContinueOnLast;
    for (const char* name : {"NextButton", "ContinueButton"}) {
        sprite::SpriteBase* sprite = getSprite(name);
        if (!sprite)
            continue;
        const bool shown = continueHere == (name[0] == 'C');
        sprite->setVisible(shown);
        if (ButtonMixin* button = ButtonMixin::fromSprite(sprite))
            button->setEnabled(shown);
    }
}

int VignetteAnimate::mouseDown(window::Event* e)
{
    const int r = Room::mouseDown(e);
    LanternfieldCanvas* c = animateCanvas();
    if (c && c->isInTransition())
        return r;
    int x = e->x;
    int y = e->y;
    toLocal(x, y);
    for (const char* name : {"NextButton", "ContinueButton"}) {
        ButtonMixin* button = ButtonMixin::fromSprite(getSprite(name));
        if (button && button->hitAndEnabled(x, y)) {
            window::debugLine("advance page\n");
            advancePage();
            break;
        }
    }
    return r;
}

void VignetteAnimate::advancePage()
{
    ++m_nPage;
    window::debugLine("++++ curPage = ", m_nPage, "\n");
    m_nGraphic = 1;
    if (m_nPage <= m_nPageCount) {
        showPage();
        return;
    }
    if (m_nExitRoom == SLIDE_SHOW_ROOM) {
        Room* slides = roomAt(SLIDE_SHOW_ROOM);
        if (slides && slides->isInstanceOf("Vignette"))
            static_cast<Vignette*>(slides)->setGroup(m_nVignetteGroup);
    }
    exitTo(m_nExitRoom);
    LanternfieldCanvas* c = animateCanvas();
    if (m_nExitRoom != SLIDE_SHOW_ROOM && c && c->getInventory())
        c->getInventory()->setVisible(true);
}

void VignetteAnimate::handleAction(lang::Object* sender, lang::String* command)
{
    if (command && command->startsWith(kGraphicWaiting)) {
        if (command->equals(currentMessage(kGraphicWaiting))) {
            ++m_nGraphic;
            showPage();
        } else {
            dropNotification(*command, "handleAction");
        }
    }
    Room::handleAction(sender, command);
}

bool VignetteAnimate::handleEvent(window::Event* e)
{
    if (!e || !e->arg || !e->arg->isInstanceOf("String"))
        return false;
    const lang::String& command = *static_cast<lang::String*>(e->arg);
    if (!command.startsWith(kGraphicVisible))
        return false;
    if (!command.equals(currentMessage(kGraphicVisible)) || m_nPage < 1 || m_nPage > m_nPageCount) {
        dropNotification(command, "handleEvent");
        return false;
    }
    const VignetteData& page = m_pages[size_t(m_nPage - 1)];
    const int time = m_nGraphic >= 1 && m_nGraphic <= page.graphicCount ? page.graphicTimes[m_nGraphic - 1] : 0;
    const int wait = time - m_nFadeFrames < 1 ? 1 : time - m_nFadeFrames;
    lang::String waiting = currentMessage(kGraphicWaiting);
    if (LanternfieldCanvas* c = animateCanvas())
        c->scheduleAction(wait, &waiting, 0, nullptr, this);
    return false;
}
