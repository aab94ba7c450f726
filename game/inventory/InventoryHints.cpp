// InventoryHints.cpp: the hint paper above the inventory bar: the list of the
// player's tasks kept in step with the record's hint ids, the paper's moves
// between resting, raised and previewing, driven by the commands its text
// sends back when a move ends, the player's raise and lower clicks, the
// arrow's hover look and the new-task banner.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"

namespace {

// Indexes of the inventory's definition numbers that the paper reads.
constexpr int kTextRoom = 0;
constexpr int kPaperRestY = 2;
constexpr int kTextRestY = 3;
constexpr int kTextMargin = 4;
constexpr int kRaiseFrames = 5;
constexpr int kLowerFrames = 6;
constexpr int kHoldFrames = 7;

// Arrow frames: lowered, lowered under the pointer, raised, raised under the pointer.
constexpr int kArrowLowered = 0;
constexpr int kArrowLoweredHover = 1;
constexpr int kArrowRaised = 2;
constexpr int kArrowRaisedHover = 3;

// The banner fades in and out over this many frames, to fully drawn.
constexpr int kBannerFadeFrames = 10;
constexpr int kBannerShown = 255;
// The press and the pointer are tested this far above where they are, so
// that the paper's lower edge, hidden by the bar, does not count.
constexpr int kPressLift = 10;
constexpr int kHoverLift = 5;

void playSound(int index)
{
    if (LanternfieldCanvas* canvas = LanternfieldCanvas::instance)
        canvas->playSound(index);
}

// A move of 0 frames would never end and never send its command.
int moveFrames(int frames)
{
    return frames < 1 ? 1 : frames;
}

} // namespace

void Inventory::setHintSprites(sprite::SpriteBase* paper, sprite::SpriteBase* arrow, sprite::SpriteBase* hintText,
                               sprite::SpriteBase* newTask)
{
    m_pHintPaper = paper;
    m_pHintArrow = arrow;
    m_pHintText = hintText;
    m_pNewTask = newTask;
    // The arrow goes wherever the paper goes, at this drop: the commands
    // that start the next move come from the text's move, which may end in
    // a frame before the arrow has taken its own last step.
    m_nArrowDrop = paper && arrow ? arrow->top() - paper->top() : 0;
}

void Inventory::setText(sprite::SpriteBase* sprite, const lang::String& text)
{
    if (sprite && sprite->isInstanceOf("NewFontSprite"))
        static_cast<sprite::NewFontSprite*>(sprite)->setText(text.c_str());
}

bool Inventory::hintSpritesBound() const
{
    return m_pHintPaper && m_pHintArrow && m_pHintText && m_pNewTask;
}

lang::String Inventory::getHintAt(int i)
{
    if (i < 0 || i >= m_hints.size())
        return lang::String("");
    return *static_cast<lang::String*>(m_hints.elementAt(i));
}

int Inventory::hintIndex(const lang::String& textId)
{
    for (int i = 0; i < m_hints.size(); ++i) {
        if (static_cast<lang::String*>(m_hints.elementAt(i))->equals(textId))
            return i;
    }
    return -1;
}

void Inventory::setHint(const lang::String& textId, int id)
{
    ProgressRecord* r = record();
    if (r)
        r->clearHints();
    if (!hintSpritesBound())
        return;
    if (r)
        r->addHint(id);
    changeHints(MODE_SET, textId, lang::String(""));
}

void Inventory::addHint(const lang::String& textId, int id)
{
    if (!m_pHintPaper || !m_pHintText)
        return;
    ProgressRecord* r = record();
    if (r && !r->addHint(id)) {
        // Seven hints fill the record: an eighth would not survive saving,
        // so it is not listed either.
        window::debugLine("Inventory::addHint: no room for hint ", id, "\n");
        return;
    }
    changeHints(MODE_ADD, textId, lang::String(""));
}

void Inventory::removeHint(const lang::String& textId, int id)
{
    if (!hintSpritesBound())
        return;
    if (ProgressRecord* r = record())
        r->removeHint(id);
    changeHints(MODE_REMOVE, textId, lang::String(""));
}

void Inventory::replaceHint(const lang::String& textA, const lang::String& textB, int idIn, int idOut)
{
    if (!hintSpritesBound())
        return;
    if (ProgressRecord* r = record()) {
        r->removeHint(idOut);
        r->addHint(idIn);
    }
    changeHints(MODE_REPLACE, textA, textB);
}

lang::String Inventory::buildHintText()
{
    lang::String text("");
    for (int i = 0; i < m_hints.size(); ++i) {
        text.append("\n* ");
        text.append(lang::String::loadText(*static_cast<lang::String*>(m_hints.elementAt(i))));
        if (i + 1 < m_hints.size())
            text.append("\n");
    }
    return text;
}

void Inventory::clearHintList()
{
    m_hints.removeAllElements();
    setText(m_pHintText, lang::String(""));
    showHintPaper(false);
}

void Inventory::changeHints(int mode, const lang::String& textA, const lang::String& textB)
{
    if (!hintSpritesBound())
        return;
    if (mode == MODE_SET && textA.equals("None")) {
        if (m_hints.size() == 0) {
            showHintPaper(false);
            m_nHintState = HINTS_NONE;
        } else if (!isVisible()) {
            // The clearing move cannot run on a hidden bar: the list is
            // emptied now, as the record was.
            clearHintList();
        } else {
            sprite::SpriteBase* background = getSprite("InventoryBG");
            const int bottom = background ? background->top() + background->height() : height();
            moveHintPaper(bottom, param(kLowerFrames), "ClearHint");
        }
        return;
    }

    switch (mode) {
    case MODE_SET: {
        m_bChanged = !(m_hints.size() == 1 && hintIndex(textA) >= 0);
        m_hints.removeAllElements();
        auto* entry = new lang::String(textA);
        m_hints.addElement(entry);
        entry->release();
        m_bAdded = true;
        break;
    }
    case MODE_REPLACE: {
        // The list follows the record: the outgoing text leaves it and the
        // incoming one takes the newest place, which counts as a new task.
        const int a = hintIndex(textA);
        if (a >= 0)
            m_hints.removeElementAt(a);
        const int b = hintIndex(textB);
        if (b >= 0)
            m_hints.removeElementAt(b);
        auto* entry = new lang::String(textB);
        m_hints.insertElementAt(entry, 0);
        entry->release();
        m_bChanged = true;
        m_bAdded = true;
        break;
    }
    case MODE_REMOVE: {
        const int i = hintIndex(textA);
        if (i < 0)
            return;
        m_hints.removeElementAt(i);
        m_bChanged = true;
        if (m_hints.size() == 0)
            showHintPaper(false);
        break;
    }
    case MODE_ADD:
        if (hintIndex(textA) < 0) {
            auto* entry = new lang::String(textA);
            m_hints.insertElementAt(entry, 0);
            entry->release();
            m_bChanged = true;
            m_bAdded = true;
        } else {
            m_bChanged = false;
        }
        break;
    default:
        break;
    }

    const bool animate = (m_bAdded && (mode == MODE_SET || mode == MODE_REPLACE || mode == MODE_ADD)) ||
                         mode == MODE_REMOVE;
    if (m_bChanged && isVisible() && animate) {
        // The paper drops to rest first; the rest follows on "SetHintToNormal".
        moveHintPaper(param(kPaperRestY), param(kLowerFrames), "SetHintToNormal");
        return;
    }

    setText(m_pHintText, buildHintText());
    showHintPaper(true);

    // Raised, the paper shows the whole list above the bar; an add's
    // preview stays at rest (the newest task, at the top, peeks out).
    const int textOffset = param(kTextRestY) - param(kPaperRestY);
    const int over = m_pHintText->height() + 2 * param(kTextMargin) - (param(kTextRoom) + textOffset);
    m_nPaperRaisedY = param(kPaperRestY);
    m_nTextRaisedY = param(kTextRestY);
    if (over > 0) {
        m_nPaperRaisedY -= over;
        m_nTextRaisedY -= over;
    }
    const int previewPaperY = mode == MODE_ADD ? param(kPaperRestY) : m_nPaperRaisedY;
    const int previewTextY = mode == MODE_ADD ? param(kTextRestY) : m_nTextRaisedY;

    if (mode == MODE_SETTLE) {
        moveHintPaperAndText(param(kPaperRestY), param(kTextRestY), param(kRaiseFrames),
                             "PreviewHintLoweringFinished");
        if (m_bAdded && isVisible())
            showNewTask(top() + param(kPaperRestY));
    } else {
        moveHintPaperAndText(previewPaperY, previewTextY, param(kRaiseFrames), "PreviewingHintWait");
        if (m_bAdded && isVisible())
            showNewTask(top() + previewPaperY);
        if (isVisible())
            m_bPreviewActive = true;
        else
            m_bPreviewPending = true;
        m_nPreviewCounter = -1;
    }
    // A task that came while the bar was hidden (a close-up over the room)
    // is announced by the settle that runs when the bar shows again.
    if (isVisible())
        m_bAdded = false;
}

void Inventory::showHintPaper(bool show)
{
    if (!hintSpritesBound())
        return;
    if (m_hints.size() == 0)
        setText(m_pHintText, lang::String(""));
    if (show && (!isVisible() || m_hints.size() == 0))
        return;
    const bool start = !m_pHintPaper->isVisible() && m_bPreviewPending && show;
    m_pHintPaper->setVisible(show);
    m_pHintArrow->setVisible(show);
    m_pHintText->setVisible(show);
    if (!show)
        m_pNewTask->setVisible(false);
    if (start) {
        m_bPreviewPending = false;
        changeHints(MODE_SETTLE, lang::String(""), lang::String(""));
    }
}

void Inventory::lowerHintPaper()
{
    if (!hintSpritesBound() || m_bPreviewActive)
        return;
    settleHintPaper();
    if (m_nHintState != HINTS_RAISED)
        return;
    // Where the lowering move would end: paper and text at rest, the arrow
    // on the paper.
    m_pHintPaper->setPosition(m_pHintPaper->left(), top() + param(kPaperRestY));
    m_pHintText->setPosition(m_pHintText->left(), top() + param(kTextRestY));
    m_pHintArrow->setPosition(m_pHintArrow->left(), top() + param(kPaperRestY) + m_nArrowDrop);
    m_pHintText->setAction(nullptr, nullptr);
    m_nHintState = HINTS_RESTING;
    setArrowFrame(kArrowLowered);
}

bool Inventory::isOverHintPaper(int x, int y)
{
    if (m_nHintState == HINTS_NONE || !isVisible())
        return false;
    const int ty = y - kPressLift;
    return (m_pHintPaper && m_pHintPaper->isVisible() && m_pHintPaper->hittest(x, ty)) ||
           (m_pHintText && m_pHintText->isVisible() && m_pHintText->hittest(x, ty));
}

void Inventory::setTextAction(const char* command)
{
    if (!command || !*command)
        return;
    auto* text = new lang::String(command);
    m_pHintText->setAction(this, text);
    text->release();
}

void Inventory::moveHintPaper(int y, int frames, const char* command)
{
    if (!hintSpritesBound() || !isVisible())
        return;
    const int f = moveFrames(frames);
    const int target = top() + y;
    const int dy = target - m_pHintPaper->top();
    m_pHintPaper->setDestination(m_pHintPaper->left(), target, f);
    m_pHintText->setDestination(m_pHintText->left(), m_pHintText->top() + dy, f);
    m_pHintArrow->setDestination(m_pHintArrow->left(), target + m_nArrowDrop, f);
    setTextAction(command);
    m_nHintState = HINTS_LOWERING;
}

void Inventory::moveHintPaperAndText(int paperY, int textY, int frames, const char* command)
{
    if (!hintSpritesBound() || !isVisible())
        return;
    const int f = moveFrames(frames);
    const int paperTarget = top() + paperY;
    m_pHintPaper->setDestination(m_pHintPaper->left(), paperTarget, f);
    m_pHintText->setDestination(m_pHintText->left(), top() + textY, f);
    m_pHintArrow->setDestination(m_pHintArrow->left(), paperTarget + m_nArrowDrop, f);
    setTextAction(command);
    m_nHintState = HINTS_MOVING;
}

void Inventory::showNewTask(int y)
{
    if (!m_pNewTask || !m_pHintPaper || !isVisible())
        return;
    m_pNewTask->setVisible(true);
    m_pNewTask->setColorBalance(0, 128, 128, 128);
    m_pNewTask->setAlphaDestination(kBannerShown, kBannerFadeFrames, 0);
    m_pNewTask->setPosition(m_pHintPaper->left() - m_pNewTask->width() / 2 - 5, y - m_pNewTask->height());
    playSound(SOUND_NEW_TASK);
    auto* command = new lang::String("NewTaskFadeWait");
    m_pNewTask->setAction(this, command);
    command->release();
}

void Inventory::bannerCommand(const lang::String& command)
{
    if (!m_pNewTask)
        return;
    m_pNewTask->setAction(nullptr, nullptr);
    if (command.startsWith("NewTaskFadeWait")) {
        // A move to where it stands: the banner waits for the hold's length.
        m_pNewTask->setDestination(m_pNewTask->left(), m_pNewTask->top(), moveFrames(param(kHoldFrames)));
        auto* next = new lang::String("StartNewTaskFadeOut");
        m_pNewTask->setAction(this, next);
        next->release();
    } else if (command.startsWith("StartNewTaskFadeOut")) {
        m_pNewTask->setAlphaDestination(0, kBannerFadeFrames, 0);
        auto* next = new lang::String("HideNewTask");
        m_pNewTask->setAction(this, next);
        next->release();
    } else {
        m_pNewTask->setVisible(false);
    }
}

void Inventory::hintCommand(const lang::String& command)
{
    if (!hintSpritesBound())
        return;
    if (command.startsWith("ClearHint")) {
        m_pHintText->setAction(nullptr, nullptr);
        clearHintList();
    } else if (command.startsWith("SetHintToNormal")) {
        m_pHintText->setAction(nullptr, nullptr);
        changeHints(MODE_SETTLE, lang::String(""), lang::String(""));
    } else if (command.startsWith("PreviewingHintWait")) {
        m_pHintText->setAction(nullptr, nullptr);
        m_nPreviewCounter = 0;
        m_nHintState = HINTS_RAISED;
        setArrowFrame(kArrowRaised);
    } else if (command.startsWith("HintLoweringFinished")) {
        m_pHintText->setAction(nullptr, nullptr);
        m_nHintState = HINTS_RESTING;
        setArrowFrame(kArrowLowered);
    } else if (command.startsWith("HintRaisingFinished")) {
        m_pHintText->setAction(nullptr, nullptr);
        m_nHintState = HINTS_RAISED;
        setArrowFrame(kArrowRaised);
    } else if (command.startsWith("PreviewHintLoweringFinished")) {
        m_pHintText->setAction(nullptr, nullptr);
        m_nPreviewCounter = -1;
        m_bPreviewActive = false;
        m_nHintState = HINTS_RESTING;
        setArrowFrame(kArrowLowered);
    }
}

void Inventory::settleHintPaper()
{
    if (!m_pHintText)
        return;
    if (m_nHintState == HINTS_LOWERING) {
        // The command the cut move would have sent: its work is done now, so
        // that the list, the text and the record stay in step.
        const lang::String* pending = m_pHintText->getActionCommand();
        const bool clear = pending && pending->startsWith("ClearHint");
        const bool refresh = pending && pending->startsWith("SetHintToNormal");
        m_pHintText->setAction(nullptr, nullptr);
        m_nHintState = HINTS_RESTING;
        setArrowFrame(kArrowLowered);
        if (clear) {
            clearHintList();
        } else if (refresh) {
            setText(m_pHintText, buildHintText());
            m_bPreviewPending = true;
        }
    } else if (m_nHintState == HINTS_MOVING) {
        m_pHintText->setAction(nullptr, nullptr);
        m_nHintState = HINTS_RAISED;
        setArrowFrame(kArrowRaised);
        // A preview cut short holds and lowers as soon as the bar shows again.
        if (m_bPreviewActive)
            m_nPreviewCounter = 0;
    }
}

void Inventory::setArrowFrame(int frame)
{
    if (m_pHintArrow && m_pHintArrow->isInstanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(m_pHintArrow)->setFrame(frame);
}

int Inventory::pressHintPaper(window::Event* e)
{
    if (!hintSpritesBound() || !m_pHintPaper->isVisible() || m_bPreviewActive || m_nHintState == HINTS_NONE ||
        !isVisible() || !m_pHintPaper->hittestOpaque(e->x, e->y - kPressLift))
        return NOT_HANDLED;
    switch (m_nHintState) {
    case HINTS_RESTING:
        playSound(SOUND_PAPER_RAISE);
        moveHintPaperAndText(m_nPaperRaisedY, m_nTextRaisedY, param(kRaiseFrames) >> 1, "HintRaisingFinished");
        // The player raises the list to read it: the new-task banner, which
        // stands where the paper rested and would lie over the raised list,
        // has told its news and goes.
        m_pNewTask->setAction(nullptr, nullptr);
        m_pNewTask->setVisible(false);
        break;
    case HINTS_RAISED:
        playSound(SOUND_PAPER_LOWER);
        moveHintPaper(param(kPaperRestY), param(kLowerFrames), "HintLoweringFinished");
        break;
    default:
        // A moving paper swallows the press.
        break;
    }
    return COMMAND_READY;
}

void Inventory::hoverHintPaper(int x, int y)
{
    m_bHovering = false;
    m_bOverItem = false;
    if (!m_pHintPaper)
        return;
    const bool over = m_pHintPaper->isVisible() && m_pHintPaper->hittestOpaque(x, y - kHoverLift);
    if (over) {
        m_bHovering = true;
        m_bOverItem = true;
    }
    // Without a paper the arrow keeps its frame.
    if (m_nHintState == HINTS_NONE)
        return;
    const bool raised = m_nHintState == HINTS_RAISED || m_nHintState == HINTS_LOWERING;
    if (over)
        setArrowFrame(raised ? kArrowRaisedHover : kArrowLoweredHover);
    else
        setArrowFrame(raised ? kArrowRaised : kArrowLowered);
}
