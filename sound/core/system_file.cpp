// system_file.cpp: the sound engine's file layer: reads and seeks through
// stdio, a caller's memory block, user callbacks or a 2048-byte read buffer,
// all bounded by the file's window.
#include "sound/core/system_file.h"

#include "sound/core/hvsound.h"
#include "sound/core/system_memory.h"

#include "platform/files/Files.h"
#include "platform/kernel/Clock.h"

#include <algorithm>
#include <cstring>

namespace {

HVSOUND_FILE_CALLBACKS g_callbacks = {};

// The byte after the window's last byte (or the file's length).
int windowLimit(const HVSOUND_FILE* file)
{
    return file->end >= 0 ? file->end + 1 : file->length;
}

int fileLength(FILE* f)
{
    if (std::fseek(f, 0, SEEK_END) != 0)
        return 0;
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<int>(std::min<long>(size, 0x7FFFFFFF));
}

int clampInt(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

// Puts the buffered file's stdio position on the block that holds `position`
// and marks the buffer for refilling.
void realignBuffer(HVSOUND_FILE* file)
{
    int block = file->position / HVSOUND_FILE_BUFFER_BYTES * HVSOUND_FILE_BUFFER_BYTES;
    file->bufferOffset = file->position - block;
    file->bufferStale = 1;
    std::fseek(file->stdioFile, block, SEEK_SET);
}

// Copies up to `take` bytes from the read buffer, refilling it first when
// stale. Answers the bytes copied, 0 when the refill failed.
int takeFromBuffer(HVSOUND_FILE* file, uint8_t* destination, int take)
{
    if (file->bufferStale) {
        size_t got = std::fread(file->data, 1, HVSOUND_FILE_BUFFER_BYTES, file->stdioFile);
        if (got == 0)
            return 0;
        // A file that shrank since it was opened reads as zeros, not as the
        // previous block's bytes.
        std::memset(file->data + got, 0, HVSOUND_FILE_BUFFER_BYTES - got);
        file->bufferStale = 0;
    }
    int piece = std::min(take, HVSOUND_FILE_BUFFER_BYTES - file->bufferOffset);
    std::memcpy(destination, file->data + file->bufferOffset, static_cast<size_t>(piece));
    file->bufferOffset += piece;
    if (file->bufferOffset >= HVSOUND_FILE_BUFFER_BYTES) {
        file->bufferOffset = 0;
        file->bufferStale = 1;
    }
    return piece;
}

int readBuffered(uint8_t* destination, int n, HVSOUND_FILE* file)
{
    n = std::min(n, std::max(0, file->length - file->position));
    int delivered = 0;
    while (delivered < n) {
        int rest = n - delivered;
        int piece;
        if (rest >= HVSOUND_FILE_BUFFER_BYTES && file->bufferOffset == 0 && file->bufferStale) {
            // Whole blocks at a block boundary go straight to the caller.
            int whole = rest / HVSOUND_FILE_BUFFER_BYTES * HVSOUND_FILE_BUFFER_BYTES;
            piece =
                static_cast<int>(std::fread(destination + delivered, 1, static_cast<size_t>(whole), file->stdioFile));
            if (piece != whole)
                piece = 0;
        } else {
            piece = takeFromBuffer(file, destination + delivered, std::min(rest, HVSOUND_FILE_BUFFER_BYTES));
        }
        if (piece <= 0) {
            // The position stays where it was; the stdio position and the
            // buffer are put back in step with it.
            realignBuffer(file);
            return -1;
        }
        delivered += piece;
        file->position += piece;
    }
    return delivered;
}

void swapElements(uint8_t* bytes, int count, int size)
{
    for (int i = 0; i + size <= count; i += size)
        std::reverse(bytes + i, bytes + i + size);
}

} // namespace

void HVSOUND_File_SetUserCallbacks(const HVSOUND_FILE_CALLBACKS* callbacks)
{
    g_callbacks = callbacks ? *callbacks : HVSOUND_FILE_CALLBACKS{};
}

bool HVSOUND_File_HasUserCallbacks()
{
    return g_callbacks.open || g_callbacks.close || g_callbacks.read || g_callbacks.seek || g_callbacks.tell;
}

HVSOUND_FILE* HVSOUND_File_Open(const void* nameOrData, uint32_t kind, int length)
{
    if (!nameOrData)
        return nullptr;
    auto* file = static_cast<HVSOUND_FILE*>(HVSOUND_CALLOC(sizeof(HVSOUND_FILE)));
    if (!file) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    file->kind = kind;
    file->end = -1;
    file->synchronous = 1;
    const char* name = static_cast<const char*>(nameOrData);
    bool ok = false;
    switch (kind & HVSOUND_FILE_KIND_MASK) {
    case HVSOUND_FILE_KIND_STDIO:
        file->stdioFile = crtFopen(name, "rb");
        if (file->stdioFile) {
            file->length = fileLength(file->stdioFile);
            ok = true;
        }
        break;
    case HVSOUND_FILE_KIND_MEMORY:
        if (length > 0) {
            file->data = static_cast<uint8_t*>(const_cast<void*>(nameOrData));
            file->length = length;
            ok = true;
        }
        break;
    case HVSOUND_FILE_KIND_USER:
        if (g_callbacks.open) {
            file->userHandle = g_callbacks.open(name);
            if (file->userHandle) {
                if (g_callbacks.seek && g_callbacks.tell) {
                    g_callbacks.seek(file->userHandle, 0, SEEK_END);
                    file->length = std::max(0, g_callbacks.tell(file->userHandle));
                    g_callbacks.seek(file->userHandle, 0, SEEK_SET);
                }
                ok = true;
            }
        }
        break;
    case HVSOUND_FILE_KIND_BUFFERED:
        file->stdioFile = crtFopen(name, "rb");
        if (file->stdioFile) {
            file->data = static_cast<uint8_t*>(HVSOUND_ALLOC(HVSOUND_FILE_BUFFER_BYTES));
            if (file->data) {
                file->bufferStale = 1;
                file->length = fileLength(file->stdioFile);
                ok = true;
            } else {
                HVSOUND_SetError(HVSOUND_ERR_MEMORY);
                std::fclose(file->stdioFile);
            }
        }
        break;
    default:
        break;
    }
    if (!ok) {
        HVSOUND_FREE(file);
        return nullptr;
    }
    return file;
}

HVSOUND_FILE* HVSOUND_File_OpenWindow(const void* nameOrData, uint32_t kind, int offset, int length)
{
    bool memory = (kind & HVSOUND_FILE_KIND_MASK) == HVSOUND_FILE_KIND_MEMORY;
    // A memory block reaches from its start to the window's end: the
    // window of `length` bytes from `offset` lies wholly inside it.
    int64_t blockLength = length > 0 && offset > 0 ? int64_t(offset) + length : length;
    if (memory && blockLength > INT32_MAX) {
        HVSOUND_SetError(HVSOUND_ERR_INVALID_PARAM);
        return nullptr;
    }
    HVSOUND_FILE* file = HVSOUND_File_Open(nameOrData, kind, memory ? int(blockLength) : 0);
    if (!file) {
        HVSOUND_SetError(HVSOUND_ERR_FILE_NOTFOUND);
        return nullptr;
    }
    if (offset > 0)
        HVSOUND_File_SetStart(file, offset);
    if (length > 0)
        HVSOUND_File_SetEnd(file, offset + length - 1);
    return file;
}

void HVSOUND_File_SetStart(HVSOUND_FILE* file, int offset)
{
    if (file)
        file->start = offset;
}

void HVSOUND_File_SetEnd(HVSOUND_FILE* file, int lastByte)
{
    if (file)
        file->end = lastByte;
}

void HVSOUND_File_WaitPending(HVSOUND_FILE* file)
{
    while (file && file->pendingRequests > 0)
        Sleep(10);
}

int HVSOUND_File_ReadRaw(void* buffer, int bytes, HVSOUND_FILE* file)
{
    auto* destination = static_cast<uint8_t*>(buffer);
    switch (file->kind & HVSOUND_FILE_KIND_MASK) {
    case HVSOUND_FILE_KIND_STDIO: {
        int got = static_cast<int>(std::fread(destination, 1, static_cast<size_t>(bytes), file->stdioFile));
        file->position += got;
        return got;
    }
    case HVSOUND_FILE_KIND_MEMORY: {
        int got = std::min(bytes, std::max(0, file->length - file->position));
        std::memcpy(destination, file->data + file->position, static_cast<size_t>(got));
        file->position += got;
        return got;
    }
    case HVSOUND_FILE_KIND_USER: {
        if (!g_callbacks.read)
            return -1;
        int got = g_callbacks.read(destination, bytes, file->userHandle);
        if (got > 0)
            file->position += got;
        return got;
    }
    case HVSOUND_FILE_KIND_BUFFERED:
        return readBuffered(destination, bytes, file);
    default:
        return -1;
    }
}

int HVSOUND_File_Read(void* buffer, int size, int count, HVSOUND_FILE* file)
{
    if (!file || !buffer)
        return -1;
    HVSOUND_File_WaitPending(file);
    if (size <= 0)
        size = 1;
    int64_t bytes = static_cast<int64_t>(size) * count;
    if (bytes <= 0)
        return 0;
    // Reads stop at the window's end (and at the end of a memory block).
    int64_t available = static_cast<int64_t>(windowLimit(file)) - file->position;
    if (bytes > available)
        bytes = available > 0 ? available / size * size : 0;
    bytes = std::min<int64_t>(bytes, 0x7FFFFFFF / size * size);
    if (bytes == 0)
        return 0;
    int result = HVSOUND_File_ReadRaw(buffer, static_cast<int>(bytes), file);
    if (result > 0 && (file->kind & HVSOUND_FILE_BIGENDIAN) && (size == 2 || size == 4))
        swapElements(static_cast<uint8_t*>(buffer), result, size);
    file->lastReadFailed = result < 0 ? 1 : 0;
    return result;
}

int HVSOUND_File_ReadByte(HVSOUND_FILE* file)
{
    uint8_t value = 0;
    if (!file || HVSOUND_File_Read(&value, 1, 1, file) != 1)
        return 0;
    return value;
}

int HVSOUND_File_ReadWord(HVSOUND_FILE* file)
{
    uint8_t bytes[2] = {0, 0};
    if (!file || HVSOUND_File_Read(bytes, 2, 1, file) != 2)
        return 0;
    return bytes[0] | (bytes[1] << 8);
}

int HVSOUND_File_SeekRaw(HVSOUND_FILE* file, int target)
{
    switch (file->kind & HVSOUND_FILE_KIND_MASK) {
    case HVSOUND_FILE_KIND_STDIO: {
        if (std::fseek(file->stdioFile, target, SEEK_SET) != 0)
            return -1;
        long at = std::ftell(file->stdioFile);
        file->position = at < 0 ? target : static_cast<int>(at);
        return 0;
    }
    case HVSOUND_FILE_KIND_MEMORY:
        file->position = clampInt(target, 0, file->length);
        return 0;
    case HVSOUND_FILE_KIND_USER:
        if (g_callbacks.seek)
            g_callbacks.seek(file->userHandle, target, SEEK_SET);
        file->position = clampInt(target, 0, file->length);
        return 0;
    case HVSOUND_FILE_KIND_BUFFERED: {
        int target2 = clampInt(target, 0, file->length);
        int inBuffer = target2 - file->position + file->bufferOffset;
        if (inBuffer >= 0 && inBuffer < HVSOUND_FILE_BUFFER_BYTES) {
            // Inside the current block: only the buffer offset moves.
            file->bufferOffset = inBuffer;
            file->position = target2;
        } else {
            file->position = target2;
            realignBuffer(file);
        }
        return 0;
    }
    default:
        return -1;
    }
}

int HVSOUND_File_Seek(HVSOUND_FILE* file, int offset, int origin)
{
    if (!file)
        return -1;
    HVSOUND_File_WaitPending(file);
    // Every origin is resolved to an absolute position first, then kept
    // inside the window, so a relative seek can never pass the window's end.
    int64_t target;
    if (origin == SEEK_END)
        target = static_cast<int64_t>(windowLimit(file)) + offset;
    else if (origin == SEEK_CUR)
        target = static_cast<int64_t>(file->position) + offset;
    else
        target = static_cast<int64_t>(file->start) + offset;
    int64_t low = std::max(0, file->start);
    int64_t high = std::max<int64_t>(low, windowLimit(file));
    target = std::min(std::max(target, low), high);
    if (HVSOUND_File_SeekRaw(file, static_cast<int>(target)) < 0)
        return -1;
    return file->position - file->start;
}

int HVSOUND_File_Tell(HVSOUND_FILE* file)
{
    if (!file)
        return 0;
    switch (file->kind & HVSOUND_FILE_KIND_MASK) {
    case HVSOUND_FILE_KIND_STDIO:
        return static_cast<int>(std::ftell(file->stdioFile)) - file->start;
    case HVSOUND_FILE_KIND_USER:
        return (g_callbacks.tell ? g_callbacks.tell(file->userHandle) : 0) - file->start;
    default:
        return file->position - file->start;
    }
}

void HVSOUND_File_Close(HVSOUND_FILE* file)
{
    if (!file)
        return;
    switch (file->kind & HVSOUND_FILE_KIND_MASK) {
    case HVSOUND_FILE_KIND_STDIO:
        std::fclose(file->stdioFile);
        break;
    case HVSOUND_FILE_KIND_BUFFERED:
        std::fclose(file->stdioFile);
        HVSOUND_FREE(file->data);
        break;
    case HVSOUND_FILE_KIND_USER:
        if (g_callbacks.close)
            g_callbacks.close(file->userHandle);
        break;
    default:
        break;
    }
    HVSOUND_FREE(file);
}
