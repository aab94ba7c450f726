// Receiver.h: the interface of anything that takes window events.
#pragma once

namespace window {

class Event;

class Receiver {
public:
    // True when the receiver consumed the event.
    virtual bool handleEvent(Event* e) = 0;

protected:
    virtual ~Receiver() = default;
};

} // namespace window
