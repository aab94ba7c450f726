// Event.cpp: making and releasing events.
#include "windowing/window/Event.h"

namespace window {

Event::Event(lang::Object* eventTarget, int eventId, lang::Object* eventArg)
    : id(eventId), x(0), y(0), modifiers(0), key(0), clickCount(0), when(0), arg(eventArg), target(eventTarget)
{
    arg->addRef();
    target->addRef();
}

Event::~Event()
{
    arg->release();
    target->release();
}

} // namespace window
