// GameCanvas3Actions.cpp: the canvas's scheduled actions (commands delivered
// after a number of frames, once or repeatedly) and its command handler.
#include "sprites/canvas/FrameNotify.h"

#include "core/lang/Hold.h"
#include "core/lang/Owned.h"
#include "core/lang/Synchronized.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/dialogs/DialogSprite.h"
#include "windowing/window/Cursor.h"

#include <vector>

namespace sprite {

GameCanvas3::FrameNotify::FrameNotify()
    : target(nullptr), frames(0), parameter(nullptr), command(""), repeating(false), startFrame(0)
{
}

GameCanvas3::FrameNotify::~FrameNotify()
{
    setReceivers(nullptr, nullptr);
}

void GameCanvas3::FrameNotify::setReceivers(SpriteBase* newTarget, lang::Object* newParameter)
{
    if (newTarget)
        newTarget->addRef();
    if (newParameter)
        newParameter->addRef();
    if (target)
        target->release();
    if (parameter)
        parameter->release();
    target = newTarget;
    parameter = newParameter;
}

bool GameCanvas3::FrameNotify::matches(const lang::String& text, bool matchBoth, lang::Object* otherParameter,
                                       SpriteBase* otherTarget) const
{
    if (!command.equalsIgnoreCase(text))
        return false;
    return !matchBoth || (parameter == otherParameter && target == otherTarget);
}

bool GameCanvas3::FrameNotify::isDue(int frameCounter) const
{
    return (frameCounter - startFrame) % frames == 0;
}

void GameCanvas3::scheduleAction(int delay, lang::String* command, int flags, lang::Object* parameter,
                                 SpriteBase* target)
{
    const lang::String text(command ? command->c_str() : "");
    const bool matchBoth = (flags & ACTION_MATCH_BOTH) != 0;
    lang::Synchronized guard(&m_scheduledActions);
    FrameNotify* entry = nullptr;
    if (flags & (ACTION_REUSE | ACTION_REMOVE)) {
        for (int i = m_scheduledActions.size() - 1; i >= 0; --i) {
            auto* candidate = static_cast<FrameNotify*>(m_scheduledActions.elementAt(i));
            if (!candidate->matches(text, matchBoth, parameter, target))
                continue;
            if (!(flags & ACTION_REMOVE)) {
                entry = candidate;
                break;
            }
            m_scheduledActions.removeElementAt(i);
        }
    }
    if (flags & ACTION_REMOVE)
        return;
    const bool added = entry == nullptr;
    if (added)
        entry = new FrameNotify();
    int frames = (flags & ACTION_SECONDS) ? delay * 1000 / FRAME_PERIOD_MS : delay;
    entry->repeating = (flags & ACTION_REPEAT) != 0;
    // A period below one frame would divide by zero: it means every frame.
    if (entry->repeating && frames < 1)
        frames = 1;
    entry->frames = frames;
    entry->setReceivers(target, parameter);
    entry->command = text;
    entry->startFrame = entry->repeating ? m_nFrameCounter % frames - 1 : 0;
    if (added) {
        m_scheduledActions.addElement(entry);
        entry->release();
    }
}

void GameCanvas3::fireScheduledActions()
{
    // The entries as the frame starts: those added by a delivery wait for the
    // next frame, those removed by one are skipped. The table's monitor is
    // held while the table is read or changed, never over a delivery: a
    // delivery takes other locks (the sprite list's), and code holding those
    // schedules actions, so the table's monitor is always the last taken.
    std::vector<FrameNotify*> entries;
    {
        lang::Synchronized guard(&m_scheduledActions);
        entries.reserve(size_t(m_scheduledActions.size()));
        for (int i = 0; i < m_scheduledActions.size(); ++i) {
            auto* entry = static_cast<FrameNotify*>(m_scheduledActions.elementAt(i));
            entry->addRef();
            entries.push_back(entry);
        }
    }
    for (size_t k = entries.size(); k-- > 0;) {
        FrameNotify* entry = entries[k];
        lang::Owned owned(entry);
        if (m_bActionsPaused)
            continue;
        // The delivery may change the entry (a rescheduled repeating one):
        // it goes out as it was when it fell due.
        lang::String command;
        lang::Object* parameter = nullptr;
        SpriteBase* target = nullptr;
        {
            lang::Synchronized guard(&m_scheduledActions);
            const int index = m_scheduledActions.indexOf(entry);
            if (index < 0)
                continue;
            if (entry->repeating) {
                if (!entry->isDue(m_nFrameCounter))
                    continue;
            } else {
                entry->frames -= 1;
                if (entry->frames > 0)
                    continue;
                m_scheduledActions.removeElementAt(index);
            }
            command = entry->command;
            parameter = entry->parameter;
            target = entry->target;
            if (parameter)
                parameter->addRef();
            if (target)
                target->addRef();
        }
        if (target)
            target->handleAction(parameter, &command);
        else
            handleAction(parameter, &command);
        if (target)
            target->release();
        if (parameter)
            parameter->release();
    }
}

int GameCanvas3::getScheduledActionCount()
{
    return m_scheduledActions.size();
}

void GameCanvas3::handleAction(lang::Object*, lang::String* command)
{
    if (!command || command->isEmpty())
        return;
    if (command->equals("handCursor")) {
        setCursor(window::Cursor::handCursor);
        return;
    }
    if (command->equals("normalCursor")) {
        setCursor(window::Cursor::normalCursor);
        return;
    }
    if (command->equals("openHandCursor")) {
        setCursor(window::Cursor::openHandCursor);
        return;
    }
    if (!m_pRootList)
        return;
    lang::Synchronized rootGuard(m_pRootList);
    for (int i = m_pRootList->size() - 1; i >= 0; --i) {
        if (i >= m_pRootList->size())
            continue;
        auto* s = static_cast<SpriteBase*>(m_pRootList->get(i));
        if (!s->isShowing() || !s->isInstanceOf("DialogSprite"))
            continue;
        lang::Hold hold(s);
        int r = static_cast<DialogSprite*>(s)->dialogAction(*command);
        if (r >= DialogSprite::COMMAND_READY && r <= DialogSprite::HANDLED)
            return;
    }
}

} // namespace sprite
