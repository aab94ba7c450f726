// StreamLocks.h: holds the stream layer's locks for a scope: the stream
// lock (not taken on the stream thread, which holds it for its whole pass),
// the list lock, or both in that order.
#pragma once

#include "sound/streams/hvsound_stream.h"

class StreamLocks {
public:
    enum Which { Stream = 1, List = 2, Both = 3 };

    explicit StreamLocks(Which which) : m_which(which)
    {
        if (m_which & Stream)
            HVSOUND_Stream_EnterStreamLock();
        if (m_which & List)
            HVSOUND_Stream_EnterListLock();
    }

    ~StreamLocks()
    {
        if (m_which & List)
            HVSOUND_Stream_LeaveListLock();
        if (m_which & Stream)
            HVSOUND_Stream_LeaveStreamLock();
    }

    StreamLocks(const StreamLocks&) = delete;
    StreamLocks& operator=(const StreamLocks&) = delete;

private:
    Which m_which;
};
