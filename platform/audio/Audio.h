// Audio.h: every sound-output call of the compatibility layer in one include.
#pragma once

#include "platform/Win32Types.h"
#include "platform/audio/Com.h"
#include "platform/audio/DirectSound.h"
#include "platform/audio/SystemInfo.h"
#include "platform/audio/WinMM.h"
