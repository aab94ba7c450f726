// DisplayThread.h: the thread that talks to the display, as a thread that
// needs no display sees it. The backend marks its calls into the display's
// library (a Call lives while one runs); a thread that finds the display's
// thread in one call for too long (a server that no longer answers, a
// library that waits for what never comes) can take over from it: the
// display's thread then never comes back from that call, and the taker goes
// on in its stead, seeing all it did before the call. Whether the display
// was lost is kept here too.
#pragma once

namespace platform {

class DisplayThread {
public:
    // Marks the calling thread, the display's, in a call into the display's
    // library while it lives; a Call inside another is part of it. Leaving
    // the outermost one, a thread taken over meanwhile stays in it for ever.
    class Call {
    public:
        Call();
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;
    };

    // Whether the calling thread is in a call; and, called there, keeps it in
    // that call for ever (the display lost under the library, which would
    // go on with what it cannot have), so that a close takes over from it.
    static bool inCall();
    [[noreturn]] static void stayInCall();

    // The number of the call under way now, from any thread; 0 when none.
    // Numbers are never used twice: one seen at two looks is one call that
    // has not come back between them.
    static unsigned long callUnderWay();
    // Takes over from the display's thread if it is still in call `call`:
    // it never comes back from it, and what it did before the call is seen
    // by the caller. False when that call has ended (or none is under way).
    static bool takeOver(unsigned long call);
    // Whether the display's thread was taken over: from then on nothing may
    // wait for it, nor touch the display.
    static bool takenOver();

    // The display lost (its server ended, the connection cut), told from
    // any thread, and whether it is: nothing may touch it any more.
    static void markDisplayLost();
    static bool displayLost();
};

} // namespace platform
