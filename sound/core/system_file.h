// system_file.h: the sound engine's file layer: stdio, memory, user-callback
// and buffered stdio files, each with a window (start offset, last byte).
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint32_t HVSOUND_FILE_KIND_STDIO = 0;
constexpr uint32_t HVSOUND_FILE_KIND_MEMORY = 1;
constexpr uint32_t HVSOUND_FILE_KIND_USER = 2;
constexpr uint32_t HVSOUND_FILE_KIND_BUFFERED = 3;
constexpr uint32_t HVSOUND_FILE_KIND_MASK = 0xF;
// 2- and 4-byte elements are byte-swapped on read.
constexpr uint32_t HVSOUND_FILE_BIGENDIAN = 0x10;
constexpr int HVSOUND_FILE_BUFFER_BYTES = 2048;

struct HVSOUND_FILE {
    uint32_t kind;
    FILE* stdioFile;
    uint8_t* data;    // the caller's block (memory) or the read buffer (buffered)
    int32_t position; // absolute byte position
    void* userHandle;
    int32_t length;       // bytes of the whole file or block
    int32_t bufferOffset; // next byte inside the read buffer
    int32_t bufferStale;  // 1 = refill the read buffer before use
    int32_t synchronous;  // always 1
    int32_t logicalPosition;
    int32_t pendingRequests;
    int32_t lastReadFailed;
    int32_t start; // first byte of the window
    int32_t end;   // last byte of the window; -1 = none
};

// User file functions (process-wide; all null unless installed).
struct HVSOUND_FILE_CALLBACKS {
    void* (*open)(const char* name);
    void (*close)(void* handle);
    int (*read)(void* buffer, int bytes, void* handle);
    int (*seek)(void* handle, int offset, int origin);
    int (*tell)(void* handle);
};
void HVSOUND_File_SetUserCallbacks(const HVSOUND_FILE_CALLBACKS* callbacks);
bool HVSOUND_File_HasUserCallbacks();

HVSOUND_FILE* HVSOUND_File_Open(const void* nameOrData, uint32_t kind, int length);
// Opens a file (for the memory kind a block reaching to the window's end)
// and makes a window of it: from `offset` when above 0, `length` bytes long
// when above 0. Error 9 and null when it does not open (14 for a block
// beyond 2 GiB).
HVSOUND_FILE* HVSOUND_File_OpenWindow(const void* nameOrData, uint32_t kind, int offset, int length);
void HVSOUND_File_SetStart(HVSOUND_FILE* file, int offset);
void HVSOUND_File_SetEnd(HVSOUND_FILE* file, int lastByte);
int HVSOUND_File_Read(void* buffer, int size, int count, HVSOUND_FILE* file);
int HVSOUND_File_ReadByte(HVSOUND_FILE* file);
int HVSOUND_File_ReadWord(HVSOUND_FILE* file);
int HVSOUND_File_Seek(HVSOUND_FILE* file, int offset, int origin);
int HVSOUND_File_Tell(HVSOUND_FILE* file);
void HVSOUND_File_Close(HVSOUND_FILE* file);
// The per-kind bodies of read and seek; the seek target is absolute.
int HVSOUND_File_ReadRaw(void* buffer, int bytes, HVSOUND_FILE* file);
int HVSOUND_File_SeekRaw(HVSOUND_FILE* file, int target);
void HVSOUND_File_WaitPending(HVSOUND_FILE* file);
