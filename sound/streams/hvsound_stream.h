// hvsound_stream.h: streams: sound files decoded while they play into a
// looping double-buffer sample, refilled by the stream thread; their record,
// sync points, opening, playing, stopping, seeking and the refill itself.
#pragma once

#include "sound/core/hvsound_async.h"
#include "sound/core/system_thread.h"
#include "sound/formats/format_mpeg.h"

#include <atomic>
#include <cstdint>

struct HVSOUND_CHANNEL;
struct HVSOUND_DSPUNIT;
struct HVSOUND_FILE;
struct HVSOUND_SAMPLE;
struct HVSOUND_STREAM;

// Every decoder's read: fills up to `*length` bytes of PCM at `destination`
// (with `sourceBuffer` of `sourceSize` bytes as room for compressed input)
// and sets `*length` to the bytes delivered; true while more data follows.
typedef bool (*HVSOUND_STREAM_READCALLBACK)(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize,
                                            void* destination, int* length);
// Called with the codec state after a prefill (restart of the decoder), and
// at close to free it.
typedef void (*HVSOUND_STREAM_RESETCALLBACK)(void* codecState);
typedef bool (*HVSOUND_STREAM_CLOSECALLBACK)(void* codecState);
// Writes `bytes` bytes of the stream's sound at `destination`.
typedef bool (*HVSOUND_STREAM_FILLPROC)(HVSOUND_STREAM* stream, void* destination, int bytes, void* userData);
// The end and open-done callbacks: (stream, null, 0, user data).
typedef bool (*HVSOUND_STREAM_CALLBACK)(HVSOUND_STREAM* stream, void* buffer, int length, void* userData);
// Called when a sync point becomes audible.
typedef bool (*HVSOUND_STREAM_SYNCCALLBACK)(HVSOUND_STREAM* stream, const char* name, uint32_t offset,
                                            void* userData);

constexpr int HVSOUND_SYNCPOINT_NAME_BYTES = 256;
constexpr int HVSOUND_STREAM_NAME_BYTES = 256;
// Each half of a stream's double buffer holds this much sound.
constexpr int HVSOUND_STREAM_BUFFER_MS = 400;
// The stream thread refills every this many milliseconds.
constexpr int HVSOUND_STREAM_PERIOD_MS = 10;

// Seek types.
enum : int {
    HVSOUND_STREAM_SEEK_BYTES = 0,
    HVSOUND_STREAM_SEEK_MS = 1,
    HVSOUND_STREAM_SEEK_SAMPLES = 2,
};

// Stream-thread states.
enum : int {
    HVSOUND_STREAMTHREAD_RUNNING = 0,
    HVSOUND_STREAMTHREAD_STOP = 1,
    HVSOUND_STREAMTHREAD_STOPPED = 2,
};

// A named place in a stream, in samples.
struct HVSOUND_SYNCPOINT {
    HVSOUND_SYNCPOINT* next;
    HVSOUND_SYNCPOINT* prev;
    uint32_t offset;
    uint32_t cueId; // the WAV cue id its label refers to
    char name[HVSOUND_SYNCPOINT_NAME_BYTES];
};

// Points sorted by offset between two sentinels: head (offset 0) and tail
// (offset 0xFFFFFFFF). The cursor is the next point to fire.
struct HVSOUND_SYNCLIST {
    HVSOUND_SYNCPOINT head;
    HVSOUND_SYNCPOINT tail;
    HVSOUND_SYNCPOINT* cursor;
    HVSOUND_STREAM_SYNCCALLBACK callback; // null: reaching a point only moves the cursor
};

// Where a block of the double buffer (or of what is being heard) came from:
// the stream sample at its start and the loop generation.
struct HVSOUND_STREAMPOSITION {
    uint32_t position;
    uint32_t generation;
};

struct HVSOUND_POSITIONRING {
    HVSOUND_STREAMPOSITION* entries;
    int writeIndex;
    int count;
    int blockLength; // samples per entry
    int remainder;   // samples left of the block being recorded (history only)
};

// Stream flags.
enum : uint32_t {
    HVSOUND_STREAM_OPEN_PENDING = 0x1,
};

// A stream. Allocated zeroed through the engine's memory and owned by the
// stream list until HVSOUND_Stream_Close. Fields the mixer thread reads (in
// the sync pass) change under the stream list lock; the refill state belongs
// to whoever holds the stream lock.
struct HVSOUND_STREAM {
    HVSOUND_STREAM* next; // the stream list
    HVSOUND_STREAM* prev;
    HVSOUND_ASYNCENTRY queueEntry;
    HVSOUND_SAMPLE* sample; // the double buffer, owned
    HVSOUND_FILE* file;     // owned
    void* codecState;       // owned; freed by the close callback
    HVSOUND_LOADMETER loadMeter;
    HVSOUND_MPEG_FRAMETABLE frameTable; // owned
    void* syncUserData;
    HVSOUND_SYNCLIST syncList;
    HVSOUND_STREAM_READCALLBACK readCallback;
    HVSOUND_STREAM_RESETCALLBACK resetCallback;
    HVSOUND_STREAM_CLOSECALLBACK closeCallback;
    // A position callback and a custom play callback: no stream this program
    // makes has them, but the record keeps their places.
    HVSOUND_STREAM_CALLBACK positionCallback;
    HVSOUND_STREAM_CALLBACK playCallback;
    HVSOUND_STREAM_FILLPROC fillProcedure;
    HVSOUND_STREAM_CALLBACK endCallback;
    HVSOUND_STREAM_CALLBACK openDoneCallback;
    int nextHalf; // the buffer half to fill next
    uint32_t mode;
    int channel;                     // handle, -1 when none
    HVSOUND_CHANNEL* channelRecord;  // the record of that handle
    void* endUserData;
    void* fillUserData;
    std::atomic<uint32_t> flags;
    int subStreamIndex;
    // One half's sound as the fill makes it, before it goes into the buffer; owned.
    uint8_t* fillBuffer;
    uint8_t* sourceBuffer; // compressed input of one read, owned
    int sourceSize;
    uint8_t* decodeBuffer; // decoded output not yet copied, owned
    int decodeSize;
    int decodeLeft;   // bytes left in it
    int decodeOffset; // where they start
    int skip;         // decoded bytes still to drop after a seek
    int loopCount;    // -1 endless
    int loopsLeft;
    std::atomic<float> fillTime; // smoothed share of time spent filling
    int lengthMs;      // -1: from the samples
    int lengthSamples; // per channel
    int countdown;     // time until the end is heard, 1/256 ms; -1 not ending
    uint32_t position; // stream sample of the next sample written
    uint32_t loopStart;
    uint32_t loopEnd; // both 0: the whole stream
    HVSOUND_POSITIONRING history;    // one entry per block of the double buffer
    uint32_t stoppedAt;              // the channel's play position at the last stop
    HVSOUND_POSITIONRING timeStamps; // one entry per block of the output ring
    int loopGeneration;
    int lastGeneration; // the generation the sync cursor belongs to
    // A list of sub-streams to play one after another: nothing in this
    // program fills it; a list set on a stream is engine memory, freed by
    // the close.
    void* subStreams;
    int subStreamCount;
    int subStreamCurrent;
    char name[HVSOUND_STREAM_NAME_BYTES]; // a non-blocking open's file name
    const void* memory;                   // or its memory block
    int openOffset;
    int openLength;
    int dataLength; // bytes
    int dataOffset;
    int blockAlign;
    bool playing;
    std::atomic<bool> ended;
    std::atomic<bool> ready;
    bool seeking;
    bool rewind; // the next play starts from the beginning
    bool prefillNeeded;
    bool prefilling;
    std::atomic<bool> openFailed;
    // Set under the stream lock; a close or play asked for inside a mix
    // cycle, which cannot take that lock, reads it too.
    std::atomic<bool> closing;
    // The refill work under way on the stream (a seek, a prefill, a fill),
    // nested: set and read under the stream lock, so only the thread doing
    // that work (and the callbacks it makes) ever finds it above 0.
    int busy;
    // Closed while the stream thread's pass was at it: the pass unlinks it
    // and lets go of it once it has left it.
    bool passHolds;
    // Who still has a closed stream: its close, the pass, a sync callback
    // running on the mixer thread. The last to let go frees it.
    std::atomic<int> holds;
};

// Public calls (the sound clip's). Open takes a file name, or with mode
// 0x8000 a memory block of `length` bytes; offset and length make a window
// of the file. Mode 0x1000000 opens on the loader thread. Inside a mix cycle
// on the mixer thread (a DSP unit's callback) a blocking open, a play, stop,
// close, mode change or seek is refused with error 14: it would wait for
// the stream thread, which waits for the cycle's mixer lock.
HVSOUND_STREAM* HVSOUND_Stream_Open(const void* nameOrData, uint32_t mode, int offset, int length);
// Plays on a channel (-1: any free one); the channel handle or -1.
int HVSOUND_Stream_Play(int channel, HVSOUND_STREAM* stream);
bool HVSOUND_Stream_Stop(HVSOUND_STREAM* stream);
// Closes and frees a stream. A stream whose open is still queued or under
// way, and a stream whose own refill work runs now on the calling thread
// (inside its fill, a seek or a prefill: the fill procedure, a file callback
// or another call they make), is refused with error 14: that work goes on
// with the stream's buffers once the callback returns. A stream closed in
// its end callback (the stream thread's pass is at it), or while a sync
// callback of it runs on the mixer thread, stops at once; it leaves the list
// once the pass has left it, and its record goes once the pass and the
// callback are done with it. A close of a stream already closing answers
// true, on any thread (inside a mix cycle too).
bool HVSOUND_Stream_Close(HVSOUND_STREAM* stream);
// Changes the loop bits (mask 7) and the 2D bit of the sample.
bool HVSOUND_Stream_SetMode(HVSOUND_STREAM* stream, uint32_t mode);
HVSOUND_SAMPLE* HVSOUND_Stream_GetSample(HVSOUND_STREAM* stream);

// Opening, making, playing, stopping and positioning.
HVSOUND_STREAM* HVSOUND_Stream_OpenCore(HVSOUND_STREAM* record, const void* nameOrData, uint32_t mode, int offset,
                                        int length);
HVSOUND_STREAM* HVSOUND_Stream_Create(HVSOUND_STREAM* record, HVSOUND_STREAM_FILLPROC fill, int bytes,
                                      uint32_t mode, int rate, void* fillUserData, int channels);
// A play or a seek made from inside the stream's own refill work on this
// thread (see Close) is refused with error 14, as it would refill the
// buffer under the work that is filling it. A play of a stream found
// closing answers -1 and leaves the error as it was.
int HVSOUND_Stream_PlayEx(int channel, HVSOUND_STREAM* stream, HVSOUND_DSPUNIT* unit, bool paused);
// Test hook: when set, called by a play of a playing stream whose channel
// lost its sound, once it has chosen the channel to play it on again.
extern std::atomic<void (*)()> HVSOUND_Stream_ReplayHook;
// Test hook: when set, called by a play as it looks up the handle of the
// channel it has started the stream on, to keep it with the stream.
extern std::atomic<void (*)()> HVSOUND_Stream_HandleHook;
bool HVSOUND_Stream_StopCore(HVSOUND_STREAM* stream, bool callEnd);
bool HVSOUND_Stream_SetPositionCore(HVSOUND_STREAM* stream, uint32_t byteOffset, bool force, bool noPrefill);
int HVSOUND_Stream_BytesToSamples(int bytes, uint32_t mode, int channels);
int HVSOUND_Stream_SamplesToBytes(int samples, uint32_t mode, int channels);

// The stream layer's start and stop (engine start and close), and one refill
// pass over every stream (the stream thread's, or HVSOUND_Update's when the
// engine is update-driven).
bool HVSOUND_Stream_StartThread();
void HVSOUND_Stream_Shutdown();
void HVSOUND_Stream_Update(float milliseconds);
// The sync pass, a DSP unit run by every mix cycle; returns `buffer`.
void* HVSOUND_Stream_SyncDSP(void* blockStart, void* buffer, int length, void* parameter);
// The sum of every stream's fill time after the last pass.
float HVSOUND_Stream_TotalFillTime();
// The DSP unit of the sync pass (null without software channels).
HVSOUND_DSPUNIT* HVSOUND_Stream_SyncUnit();

// Refill and seeking.
bool HVSOUND_Stream_Seek(HVSOUND_STREAM* stream, int type, uint32_t value, bool moveCursor);
bool HVSOUND_Stream_Prefill(HVSOUND_STREAM* stream);
bool HVSOUND_Stream_FillHalf(HVSOUND_STREAM* stream);
bool HVSOUND_Stream_FileFill(HVSOUND_STREAM* stream, void* destination, int bytes, void* userData);
void HVSOUND_Stream_RecordPosition(HVSOUND_STREAM* stream, int samples);
// The stream sample playing now (`audible`: being heard now), and its loop
// generation.
uint32_t HVSOUND_Stream_GetPlayedSample(HVSOUND_STREAM* stream, bool audible, int* generation);

// Sync lists.
void HVSOUND_Stream_SyncList_Init(HVSOUND_SYNCLIST* list);
HVSOUND_SYNCPOINT* HVSOUND_Stream_SyncPoint_Add(HVSOUND_SYNCLIST* list, uint32_t offset, const char* name);
HVSOUND_SYNCPOINT* HVSOUND_Stream_SyncPoint_Get(HVSOUND_SYNCLIST* list, int index);
void HVSOUND_Stream_SyncCursor_Seek(HVSOUND_STREAM* stream, uint32_t sample);
void HVSOUND_Stream_SyncPoint_Delete(HVSOUND_SYNCPOINT* point);
void HVSOUND_Stream_SyncList_Free(HVSOUND_SYNCLIST* list);

// The read callback of WAV and raw streams.
bool HVSOUND_PCM_ReadCallback(HVSOUND_STREAM* stream, void* sourceBuffer, int sourceSize, void* destination,
                              int* length);

// The stream layer's list and locks, shared by its source files. The stream
// lock serialises a refill pass against everything else that changes a
// stream; the list lock guards the list and what the sync pass reads. The
// stream lock comes first; both come before the mixer lock, except that the
// sync pass takes the list lock inside a mix cycle (so nothing may wait for
// the mixer lock while holding the list lock).
HVSOUND_STREAM* HVSOUND_Stream_ListHead();
// False once the stream layer has been asked to stop (or before it starts).
bool HVSOUND_Stream_LayerRunning();
// The stream the refill pass is at now (read by the pass's own thread: a
// call its callbacks make), null between streams and passes.
HVSOUND_STREAM* HVSOUND_Stream_PassAt();
// The pass has left a stream closed while it was at it: unlinks it and lets
// go of it.
void HVSOUND_Stream_PassLeft(HVSOUND_STREAM* stream);
// Marks a stream's refill work (seek, prefill, fill) for its scope; the
// stream lock is held.
class HVSOUND_StreamBusy {
public:
    explicit HVSOUND_StreamBusy(HVSOUND_STREAM* stream) : m_stream(stream) { ++m_stream->busy; }
    ~HVSOUND_StreamBusy() { --m_stream->busy; }
    HVSOUND_StreamBusy(const HVSOUND_StreamBusy&) = delete;
    HVSOUND_StreamBusy& operator=(const HVSOUND_StreamBusy&) = delete;

private:
    HVSOUND_STREAM* m_stream;
};
bool HVSOUND_Stream_OnStreamThread();
// The record of the stream's channel while its handle is still current.
HVSOUND_CHANNEL* HVSOUND_Stream_Channel(HVSOUND_STREAM* stream);
// Whether that channel is paused, as the mixer sees it.
bool HVSOUND_Stream_ChannelPaused(HVSOUND_CHANNEL* channel);
void HVSOUND_Stream_EnterStreamLock(); // skipped on the stream thread
void HVSOUND_Stream_LeaveStreamLock();
void HVSOUND_Stream_EnterListLock();
void HVSOUND_Stream_LeaveListLock();
