// Com.h: the per-thread start and end of the component library. Nothing here
// needs starting; the calls only count, as the program pairs them.
#pragma once

#include "platform/Win32Types.h"

// S_OK the first time on a thread, S_FALSE when the thread has started it already.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
