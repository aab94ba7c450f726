// Com.cpp: a per-thread count of CoInitialize calls.
#include "platform/audio/Com.h"

namespace {

thread_local int t_initCount = 0;

} // namespace

HRESULT CoInitialize(LPVOID)
{
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_initCount > 0)
        --t_initCount;
}
