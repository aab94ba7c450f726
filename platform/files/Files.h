// Files.h: Windows-style paths on Linux: separator mapping, case-insensitive
// lookup of names, the program's own path, file attributes and the search path.
#pragma once

#include "platform/Win32Types.h"

#include <cstdio>
#include <string>

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u

namespace platform {

// The Linux path for a path written the Windows way: every '\' becomes '/'.
// When the exact path does not exist, it is looked up one component at a time
// without regard to ASCII case, as Windows names are case-insensitive (an exact
// name wins; among several case variants the first in byte order). Components
// that match nothing, and all after them, are kept as given, so a path for a
// new file keeps its new name inside a case-corrected directory.
std::string nativePath(const char* path);

// A Linux path written the Windows way ('/' becomes '\'). Every path the
// compatibility layer hands out is in this form, so the engine's own path
// handling, which splits at '\', works on it; nativePath maps it back.
std::string windowsPath(const std::string& path);

// The path of the running program (Linux form). setProgramPath replaces it,
// so that tests can put the program directory in a fixture folder; the path
// may be relative to the current directory or in Windows form; null restores
// the real program path.
std::string programPath();
void setProgramPath(const char* path);
// The directory of the program path, without a trailing separator (Linux form).
std::string programDirectory();

} // namespace platform

// fopen for the engine's streams: the path goes through platform::nativePath.
FILE* crtFopen(const char* path, const char* mode);

// FILE_ATTRIBUTE_DIRECTORY for a directory, FILE_ATTRIBUTE_READONLY when the
// process may not write the entry, FILE_ATTRIBUTE_NORMAL for a plain writable
// file; INVALID_FILE_ATTRIBUTES when nothing has that name.
DWORD GetFileAttributesA(LPCSTR fileName);

// Finds a file. With `path` null, the program directory, then the current
// directory, then the directories of the PATH variable are searched; otherwise
// the ';'-separated directories of `path`. `extension` (".bin") is added when
// the name's last component has no extension. An absolute name is only checked
// as it is. Returns the length of the full path written to `buffer` without
// the NUL; the size needed including the NUL when `bufferLength` is too small
// (nothing written); 0 when the file is not found. `filePart`, when given,
// receives a pointer to the file name inside `buffer`.
DWORD SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength, LPSTR buffer,
                  LPSTR* filePart);

// The current directory in Windows form. Returns its length without the NUL,
// or the size needed including the NUL when the buffer is too small (nothing
// written then); 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
