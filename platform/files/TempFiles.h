// TempFiles.h: the temporary directory, unique temporary file names, files
// opened by handle (also deleted on close) and the C runtime's descriptor and
// stream wrappers around such a handle.
#pragma once

#include "platform/Win32Types.h"
#include "platform/files/Files.h"
#include "platform/kernel/Sync.h" // CloseHandle closes a file handle

#include <cstdio>

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u

// The temporary directory ($TMPDIR, else /tmp) in Windows form with a trailing
// '\'. Returns its length without the NUL, or the size needed including the
// NUL when the buffer is too small (nothing written then).
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);

// Writes "<directory>\<first 3 characters of prefix><4 hex digits>.TMP" into
// `tempFileName` (MAX_PATH characters). With `unique` 0 a number is chosen for
// which no file exists, and the file is created empty so that the name stays
// taken; otherwise the name is formed from `unique` and nothing is created.
// Returns the number used, or 0 on failure (no free name, no such directory,
// a name longer than MAX_PATH).
UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

// Opens or creates a file. Access GENERIC_READ and/or GENERIC_WRITE; the five
// creation dispositions as on Windows; sharing, security, the template and the
// attribute and access-pattern flags are ignored. With
// FILE_FLAG_DELETE_ON_CLOSE the name is removed at once, so the file is gone
// when its last descriptor closes. Directories are refused. Returns
// INVALID_HANDLE_VALUE on failure. CloseHandle closes the file.
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// Hands a file handle's descriptor over to the caller, who closes it (with
// close, or fclose of a stream made from it); the handle is gone afterwards
// and must not be closed. The descriptor keeps the access the file was opened
// with; `flags` are not used, as files here are always binary. Returns -1 for
// a handle that is not a file.
int crtOpenOsfHandle(HANDLE file, int flags);

// A buffered stream over a descriptor (the stream owns it); null on failure.
FILE* crtFdopen(int fd, const char* mode);
