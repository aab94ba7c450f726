// system_memory.cpp: the sound engine's memory functions over the heap or a
// block-map pool, its string helpers and the stereo-to-mono routine.
#include "sound/core/system_memory.h"

#include "sound/core/hvsound.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr int kHeaderBytes = int(sizeof(HVSOUND_MEMHEADER));

// Several engine threads may allocate at once; the statistics and the block
// map are guarded so that their counts stay exact.
std::mutex& memoryMutex()
{
    static std::mutex m;
    return m;
}

HVSOUND_MEMPOOL* poolOf(HVSOUND_MEMPOOL* pool)
{
    return pool ? pool : HVSOUND_Memory_DefaultPool();
}

int blocksFor(const HVSOUND_MEMPOOL* pool, int bytes)
{
    if (pool->blockSize <= 0)
        return 0;
    int64_t blocks = (int64_t(bytes) + pool->blockSize - 1) / pool->blockSize;
    return blocks < 1 ? 1 : int(blocks);
}

bool isAllocatableSize(int size)
{
    return size >= 0 && size <= HVSOUND_MEMORY_MAX_BYTES;
}

void countIn(HVSOUND_MEMPOOL* pool, int size, int blocks)
{
    pool->bytesInUse += size;
    pool->blocksInUse += blocks;
    if (pool->bytesInUse > pool->peakBytesInUse)
        pool->peakBytesInUse = pool->bytesInUse;
    if (pool->blocksInUse > pool->peakBlocksInUse)
        pool->peakBlocksInUse = pool->blocksInUse;
    pool->peakBlockBytes = pool->blockSize * pool->peakBlocksInUse;
    pool->overhead = pool->peakBlockBytes - pool->peakBytesInUse;
}

void countOut(HVSOUND_MEMPOOL* pool, const HVSOUND_MEMHEADER* header)
{
    pool->bytesInUse -= header->size;
    pool->blocksInUse -= header->blocks;
}

bool runIsFree(const HVSOUND_MEMPOOL* pool, int first, int blocks)
{
    if (first < 0 || first + blocks > pool->blockCount)
        return false;
    for (int i = first; i < first + blocks; ++i) {
        if (pool->blockMap[i])
            return false;
    }
    return true;
}

// First fit: the lowest index of `blocks` consecutive free blocks, or -1.
int firstFit(const HVSOUND_MEMPOOL* pool, int blocks)
{
    int run = 0;
    for (int i = 0; i < pool->blockCount; ++i) {
        run = pool->blockMap[i] ? 0 : run + 1;
        if (run == blocks)
            return i - blocks + 1;
    }
    return -1;
}

void markBlocks(HVSOUND_MEMPOOL* pool, int first, int blocks, uint8_t used)
{
    if (first >= 0 && blocks > 0)
        memset(pool->blockMap + first, used, size_t(blocks));
}

bool hasPoolMemory(const HVSOUND_MEMPOOL* pool)
{
    return pool->memory && pool->blockMap && pool->blockSize > 0 && pool->blockCount > 0;
}

HVSOUND_MEMHEADER* headerOf(void* block)
{
    return reinterpret_cast<HVSOUND_MEMHEADER*>(static_cast<uint8_t*>(block) - kHeaderBytes);
}

} // namespace

void* HVSOUND_Memory_Alloc(HVSOUND_MEMPOOL* pool, int size, const char* /*file*/, int /*line*/)
{
    if (!isAllocatableSize(size))
        return nullptr;
    pool = poolOf(pool);
    std::lock_guard<std::mutex> lock(memoryMutex());
    int total = size + kHeaderBytes;
    HVSOUND_MEMHEADER* header = nullptr;
    int blocks = blocksFor(pool, total);
    int first = -1;
    if (pool->userAlloc) {
        header = static_cast<HVSOUND_MEMHEADER*>(pool->userAlloc(size_t(total)));
    } else if (hasPoolMemory(pool)) {
        first = firstFit(pool, blocks);
        if (first >= 0) {
            markBlocks(pool, first, blocks, 1);
            header = reinterpret_cast<HVSOUND_MEMHEADER*>(pool->memory + size_t(first) * size_t(pool->blockSize));
        }
    }
    if (!header)
        return nullptr;
    header->size = size;
    header->blocks = blocks;
    header->firstBlock = first;
    header->unused = 0;
    countIn(pool, size, blocks);
    return reinterpret_cast<uint8_t*>(header) + kHeaderBytes;
}

void* HVSOUND_Memory_Calloc(HVSOUND_MEMPOOL* pool, int size, const char* file, int line)
{
    void* block = HVSOUND_Memory_Alloc(pool, size, file, line);
    if (block)
        memset(block, 0, size_t(size));
    return block;
}

void* HVSOUND_Memory_Realloc(HVSOUND_MEMPOOL* pool, void* block, int size, const char* file, int line)
{
    if (!block)
        return HVSOUND_Memory_Alloc(pool, size, file, line);
    if (!isAllocatableSize(size))
        return nullptr;
    pool = poolOf(pool);
    HVSOUND_MEMHEADER* header = headerOf(block);
    int total = size + kHeaderBytes;
    int blocks = blocksFor(pool, total);

    if (pool->userRealloc || pool->userAlloc) {
        std::unique_lock<std::mutex> lock(memoryMutex());
        HVSOUND_MEMHEADER old = *header;
        HVSOUND_MEMHEADER* moved = nullptr;
        if (pool->userRealloc) {
            moved = static_cast<HVSOUND_MEMHEADER*>(pool->userRealloc(header, size_t(total)));
        } else {
            moved = static_cast<HVSOUND_MEMHEADER*>(pool->userAlloc(size_t(total)));
            if (moved) {
                memcpy(moved, header, size_t(kHeaderBytes) + size_t(old.size < size ? old.size : size));
                if (pool->userFree)
                    pool->userFree(header);
            }
        }
        if (!moved)
            return nullptr; // the old block is untouched
        countOut(pool, &old);
        moved->size = size;
        moved->blocks = blocks;
        moved->firstBlock = -1;
        countIn(pool, size, blocks);
        return reinterpret_cast<uint8_t*>(moved) + kHeaderBytes;
    }

    std::unique_lock<std::mutex> lock(memoryMutex());
    if (!hasPoolMemory(pool))
        return nullptr;
    HVSOUND_MEMHEADER old = *header;
    markBlocks(pool, old.firstBlock, old.blocks, 0);
    int first = runIsFree(pool, old.firstBlock, blocks) ? old.firstBlock : firstFit(pool, blocks);
    if (first < 0) {
        // No room anywhere: the caller keeps its block, so its blocks stay used.
        markBlocks(pool, old.firstBlock, old.blocks, 1);
        return nullptr;
    }
    markBlocks(pool, first, blocks, 1);
    auto* moved = reinterpret_cast<HVSOUND_MEMHEADER*>(pool->memory + size_t(first) * size_t(pool->blockSize));
    if (moved != header)
        memmove(moved, header, size_t(kHeaderBytes) + size_t(old.size < size ? old.size : size));
    countOut(pool, &old);
    moved->size = size;
    moved->blocks = blocks;
    moved->firstBlock = first;
    countIn(pool, size, blocks);
    return reinterpret_cast<uint8_t*>(moved) + kHeaderBytes;
}

void HVSOUND_Memory_Free(HVSOUND_MEMPOOL* pool, void* block)
{
    if (!block)
        return;
    pool = poolOf(pool);
    std::lock_guard<std::mutex> lock(memoryMutex());
    HVSOUND_MEMHEADER* header = headerOf(block);
    countOut(pool, header);
    if (pool->userFree)
        pool->userFree(header);
    else if (hasPoolMemory(pool))
        markBlocks(pool, header->firstBlock, header->blocks, 0);
}

int HVSOUND_String_Length(const char* s)
{
    int n = 0;
    while (s[n])
        ++n;
    return n;
}

char* HVSOUND_String_Copy(char* destination, const char* source)
{
    char* d = destination;
    while ((*d++ = *source++) != 0) {
    }
    return destination;
}

char* HVSOUND_String_CopyN(char* destination, const char* source, int n)
{
    for (int i = 0; i < n; ++i) {
        destination[i] = source[i];
        if (source[i] == 0)
            break;
    }
    return destination;
}

char* HVSOUND_String_Append(char* destination, const char* source)
{
    HVSOUND_String_Copy(destination + HVSOUND_String_Length(destination), source);
    return destination;
}

int HVSOUND_String_LowerChar(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int HVSOUND_String_CompareN(const char* a, const char* b, int n)
{
    int i = 0;
    do {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            return 0;
        ++i;
    } while (i < n);
    return 0;
}

int HVSOUND_String_CompareNoCaseN(const char* a, const char* b, int n)
{
    int i = 0;
    do {
        int ca = HVSOUND_String_LowerChar(static_cast<unsigned char>(a[i]));
        int cb = HVSOUND_String_LowerChar(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            return 0;
        ++i;
    } while (i < n);
    return 0;
}

void* HVSOUND_String_Move(void* destination, const void* source, int bytes)
{
    auto* d = static_cast<uint8_t*>(destination);
    auto* s = static_cast<const uint8_t*>(source);
    if (d > s) {
        for (int i = bytes - 1; i >= 0; --i)
            d[i] = s[i];
    } else {
        for (int i = 0; i < bytes; ++i)
            d[i] = s[i];
    }
    return destination;
}

void HVSOUND_PCM_StereoToMono(void* destination, const void* source, int frames, uint32_t mode)
{
    if (mode & HVSOUND_MODE_16BITS) {
        auto* d = static_cast<int16_t*>(destination);
        auto* s = static_cast<const int16_t*>(source);
        for (int i = 0; i < frames; ++i)
            d[i] = int16_t((int(s[2 * i]) + int(s[2 * i + 1])) >> 1);
    } else if (mode & HVSOUND_MODE_UNSIGNED) {
        auto* d = static_cast<uint8_t*>(destination);
        auto* s = static_cast<const uint8_t*>(source);
        for (int i = 0; i < frames; ++i)
            d[i] = uint8_t((int(s[2 * i]) + int(s[2 * i + 1])) >> 1);
    } else {
        auto* d = static_cast<int8_t*>(destination);
        auto* s = static_cast<const int8_t*>(source);
        for (int i = 0; i < frames; ++i)
            d[i] = int8_t((int(s[2 * i]) + int(s[2 * i + 1])) >> 1);
    }
}
