// hvsound_stream_sync.cpp: a stream's sync points: the sorted list between
// its two sentinels, adding, finding and deleting points, and the cursor.
#include "sound/streams/StreamLocks.h"

#include "sound/core/hvsound.h"
#include "sound/core/system_memory.h"

namespace {

// The tail sentinel's offset lies beyond every sample a stream can reach.
constexpr uint32_t kTailOffset = 0xFFFFFFFFu;

HVSOUND_SYNCPOINT* firstAtOrAfter(HVSOUND_SYNCLIST* list, uint32_t offset)
{
    HVSOUND_SYNCPOINT* p = list->head.next;
    while (p != &list->tail && p->offset < offset)
        p = p->next;
    return p;
}

} // namespace

void HVSOUND_Stream_SyncList_Init(HVSOUND_SYNCLIST* list)
{
    // A list made before keeps no points behind.
    if (list->head.next)
        HVSOUND_Stream_SyncList_Free(list);
    list->head = HVSOUND_SYNCPOINT{};
    list->tail = HVSOUND_SYNCPOINT{};
    list->head.next = &list->tail;
    list->tail.prev = &list->head;
    list->tail.offset = kTailOffset;
    list->cursor = &list->tail;
}

HVSOUND_SYNCPOINT* HVSOUND_Stream_SyncPoint_Add(HVSOUND_SYNCLIST* list, uint32_t offset, const char* name)
{
    auto* point = static_cast<HVSOUND_SYNCPOINT*>(HVSOUND_CALLOC(int(sizeof(HVSOUND_SYNCPOINT))));
    if (!point) {
        HVSOUND_SetError(HVSOUND_ERR_MEMORY);
        return nullptr;
    }
    point->offset = offset;
    if (name)
        HVSOUND_String_CopyN(point->name, name, HVSOUND_SYNCPOINT_NAME_BYTES - 1);
    point->name[HVSOUND_SYNCPOINT_NAME_BYTES - 1] = '\0';
    // Before the first point at or after it: among equal offsets the newest
    // comes first.
    HVSOUND_SYNCPOINT* before = firstAtOrAfter(list, offset);
    point->next = before;
    point->prev = before->prev;
    before->prev->next = point;
    before->prev = point;
    return point;
}

HVSOUND_SYNCPOINT* HVSOUND_Stream_SyncPoint_Get(HVSOUND_SYNCLIST* list, int index)
{
    if (!list->head.next || index < 1)
        return nullptr;
    HVSOUND_SYNCPOINT* p = list->head.next;
    for (int i = 1; i < index && p != &list->tail; ++i)
        p = p->next;
    return p == &list->tail ? nullptr : p;
}

void HVSOUND_Stream_SyncCursor_Seek(HVSOUND_STREAM* stream, uint32_t sample)
{
    StreamLocks lock(StreamLocks::List);
    stream->syncList.cursor = firstAtOrAfter(&stream->syncList, sample);
}

void HVSOUND_Stream_SyncPoint_Delete(HVSOUND_SYNCPOINT* point)
{
    if (!point)
        return;
    if (point->prev)
        point->prev->next = point->next;
    if (point->next)
        point->next->prev = point->prev;
    HVSOUND_FREE(point);
}

void HVSOUND_Stream_SyncList_Free(HVSOUND_SYNCLIST* list)
{
    if (!list->head.next)
        return;
    while (list->head.next != &list->tail)
        HVSOUND_Stream_SyncPoint_Delete(list->head.next);
    list->cursor = &list->tail;
}
