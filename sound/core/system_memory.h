// system_memory.h: the sound engine's memory functions (heap or block-map pool,
// with a 16-byte header and statistics), its byte-string helpers and the
// stereo-to-mono PCM routine.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

// A memory pool. The engine's default pool lives in the engine state; by
// default its user functions are the C runtime's, so memory comes from the
// heap. With the user functions cleared and pool memory given, blocks are
// taken from `memory` by first fit over `blockMap` (one byte per block, 1 =
// used).
struct HVSOUND_MEMPOOL {
    uint8_t* blockMap;
    uint8_t* memory;
    int blockCount;
    int blocksInUse;
    int peakBlocksInUse;
    int bytesInUse;
    int peakBytesInUse;
    int peakBlockBytes; // block size x peak blocks in use
    int overhead;       // peak block bytes - peak bytes in use
    // Kept for the record's layout; headers always sit in front of the
    // caller's bytes, because a separate header could not be found again from
    // the caller's pointer.
    bool separateHeaders;
    int blockSize;
    void* (*userAlloc)(size_t size);
    void* (*userRealloc)(void* block, size_t size);
    void (*userFree)(void* block);
};

// The 16 bytes in front of every block handed out.
struct HVSOUND_MEMHEADER {
    int32_t size;       // bytes the caller asked for
    int32_t blocks;     // pool blocks the allocation covers
    int32_t firstBlock; // first pool block (-1 for heap memory)
    int32_t unused;
};
static_assert(sizeof(HVSOUND_MEMHEADER) == 16, "the header is 16 bytes");

// The most bytes one allocation can give: its size with the header in front
// is counted in an int.
constexpr int HVSOUND_MEMORY_MAX_BYTES = INT_MAX - int(sizeof(HVSOUND_MEMHEADER));

// The engine's default pool (heap functions unless changed).
HVSOUND_MEMPOOL* HVSOUND_Memory_DefaultPool();

// Every call names its source file and line; `pool` may be null for the
// default pool. Alloc of 0 bytes still gives a distinct pointer; a size
// below 0 or above HVSOUND_MEMORY_MAX_BYTES gives null.
void* HVSOUND_Memory_Alloc(HVSOUND_MEMPOOL* pool, int size, const char* file, int line);
void* HVSOUND_Memory_Calloc(HVSOUND_MEMPOOL* pool, int size, const char* file, int line);
void* HVSOUND_Memory_Realloc(HVSOUND_MEMPOOL* pool, void* block, int size, const char* file, int line);
void HVSOUND_Memory_Free(HVSOUND_MEMPOOL* pool, void* block);

// Plain byte strings.
int HVSOUND_String_Length(const char* s);
char* HVSOUND_String_Copy(char* destination, const char* source);
// Copies at most n characters and stops after the terminator; when n is
// reached it neither pads nor terminates.
char* HVSOUND_String_CopyN(char* destination, const char* source, int n);
char* HVSOUND_String_Append(char* destination, const char* source);
// ASCII lower case: only 'A'..'Z' change.
int HVSOUND_String_LowerChar(int c);
// Compares at least the first character and at most n; the result is the
// difference of the first differing characters (0 when equal).
int HVSOUND_String_CompareN(const char* a, const char* b, int n);
int HVSOUND_String_CompareNoCaseN(const char* a, const char* b, int n);
// Overlap-safe move (backwards when the destination lies after the source).
void* HVSOUND_String_Move(void* destination, const void* source, int bytes);

// Averages each stereo frame into one mono value: (left + right) >> 1 on
// signed 16-bit values (mode bit 0x10), else on 8-bit values, unsigned when
// mode bit 0x80 is set and signed otherwise.
void HVSOUND_PCM_StereoToMono(void* destination, const void* source, int frames, uint32_t mode);

// Tags an engine allocation with its place in the source.
#define HVSOUND_ALLOC(size) HVSOUND_Memory_Alloc(nullptr, (size), __FILE__, __LINE__)
#define HVSOUND_CALLOC(size) HVSOUND_Memory_Calloc(nullptr, (size), __FILE__, __LINE__)
#define HVSOUND_REALLOC(block, size) HVSOUND_Memory_Realloc(nullptr, (block), (size), __FILE__, __LINE__)
#define HVSOUND_FREE(block) HVSOUND_Memory_Free(nullptr, (block))
