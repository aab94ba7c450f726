// Math.cpp: the per-thread random double.
#include "core/lang/Math.h"

#include "platform/kernel/CRuntime.h"
#include "platform/kernel/Clock.h"

namespace lang {

double Math::random()
{
    thread_local bool seeded = false;
    if (!seeded) {
        crtSrand(GetTickCount());
        seeded = true;
    }
    return crtRand() / 32768.0;
}

} // namespace lang
