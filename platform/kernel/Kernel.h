// Kernel.h: every kernel-service call of the compatibility layer in one include.
#pragma once

#include "platform/Win32Types.h"
#include "platform/kernel/AnsiText.h"
#include "platform/kernel/CRuntime.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/Sync.h"
#include "platform/kernel/Thread.h"
