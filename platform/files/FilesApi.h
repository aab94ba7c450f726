// FilesApi.h: every file, text, locale, module and temporary-file call of the
// compatibility layer in one include.
#pragma once

#include "platform/Win32Types.h"
#include "platform/files/Files.h"
#include "platform/files/Locale.h"
#include "platform/files/Modules.h"
#include "platform/files/TempFiles.h"
#include "platform/files/Text.h"
