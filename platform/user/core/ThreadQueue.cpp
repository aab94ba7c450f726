// ThreadQueue.cpp: the message queue of one thread.
#include "platform/user/core/ThreadQueue.h"

namespace platform {
namespace user {

void ThreadQueue::abandonSent()
{
    for (auto& s : sent) {
        s->result = 0;
        s->done = true;
        if (s->replyTo)
            s->replyTo->wake.notify_all();
    }
    sent.clear();
}

} // namespace user
} // namespace platform
