// InstructDialog.cpp: the how-to-play dialog's pages and version text.
#include "game/dialogs/InstructDialog.h"

#include "core/lang/System.h"
#include "platform/gdi/Gdi.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/text/TextSprite.h"
#include "windowing/fonts/Font.h"

HV_DEFINE_METACLASS(InstructDialog);

const char InstructDialog::kVersion[] = "1.00.114";

namespace {

using sprite::ButtonMixin;

// Every page is drawn at the neutral balance; all but the one shown are
// transparent.
constexpr int kNeutral = 128;

} // namespace

InstructDialog::InstructDialog() : sprite::DialogSprite(false), m_nPage(1), m_nPageCount(0) {}

sprite::SpriteBase* InstructDialog::page(int n)
{
    lang::String name("pg");
    name.append(n);
    return getSprite(name.c_str());
}

void InstructDialog::setDefinition(sprite::SpriteDefinition* definition)
{
    sprite::DialogSprite::setDefinition(definition);

    sprite::SpriteBase* version = getSprite("version");
    if (version && version->isInstanceOf("TextSprite")) {
        auto* text = static_cast<sprite::TextSprite*>(version);
        auto* font = new window::Font(lang::System::getDefaultFontName(), window::Font::kBold, VERSION_FONT_SIZE,
                                      DEFAULT_CHARSET, 0, 0);
        text->setFont(font);
        font->release();
        ColorWin32 ink(25, 25, 0, 255);
        ColorWin32 shadow(255, 255, 255, 255);
        text->setColors(&ink, &shadow);
        text->setText(lang::String("v") + kVersion);
    }

    m_nPageCount = 0;
    for (int i = 1;; ++i) {
        sprite::SpriteBase* p = page(i);
        if (!p)
            break;
        p->setColorBalance(i == 1 ? kNeutral : 0, kNeutral, kNeutral, kNeutral);
        m_nPageCount = i;
    }
    m_nPage = 1;
    if (ButtonMixin* back = ButtonMixin::fromSprite(getSprite("bInstructionsBack")))
        back->setState(ButtonMixin::DISABLED);
    if (ButtonMixin* next = ButtonMixin::fromSprite(getSprite("bInstructionsNext")))
        next->setEnabled(m_nPage < m_nPageCount);
}

bool InstructDialog::turnTo(int to)
{
    sprite::SpriteBase* next = page(to);
    if (!next)
        return false;
    sprite::SpriteBase* current = page(m_nPage);
    m_nPage = to;
    next->setAlphaBalance(0);
    next->setVisible(true);
    next->setAlphaDestination(kNeutral, PAGE_FADE_FRAMES, 0);
    // The old page stays shown, transparent.
    if (current)
        current->setAlphaDestination(0, PAGE_FADE_FRAMES, 0);
    return true;
}

int InstructDialog::mouseDown(window::Event* e)
{
    const int r = sprite::DialogSprite::mouseDown(e);
    if (r != COMMAND_READY)
        return r;
    ButtonMixin* back = ButtonMixin::fromSprite(getSprite("bInstructionsBack"));
    ButtonMixin* next = ButtonMixin::fromSprite(getSprite("bInstructionsNext"));
    if (m_lastCommand.equals("bInstructionsClose")) {
        fadeOut();
    } else if (m_lastCommand.equals("bInstructionsNext")) {
        // Enabling leaves a selected button (state 3 or 4) as it is.
        if (turnTo(m_nPage + 1) && back)
            back->setEnabled(true);
        if (next)
            next->setEnabled(m_nPage < m_nPageCount);
    } else if (m_lastCommand.equals("bInstructionsBack")) {
        if (turnTo(m_nPage - 1) && next)
            next->setEnabled(true);
        if (back)
            back->setEnabled(m_nPage > 1);
    }
    return r;
}
