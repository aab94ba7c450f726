// WinMM.h: the waveform-audio output calls (one looping or queued buffer list
// per open device, a byte position counter), the holding of bytes a program
// rewrites while they play, and the millisecond timer.
#pragma once

#include "platform/Win32Types.h"

typedef UINT MMRESULT;
typedef UINT MMVERSION;

HV_DECLARE_HANDLE(HWAVEOUT);
typedef HWAVEOUT* LPHWAVEOUT;

// Results.
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34

// The device id that opens the system's default output.
#define WAVE_MAPPER ((UINT)-1)

// waveOutOpen flags: only the no-notification kind is offered.
#define CALLBACK_TYPEMASK 0x00070000u
#define CALLBACK_NULL 0x00000000u
#define WAVE_FORMAT_QUERY 0x0001u

#ifndef HV_WAVEFORMATEX_DEFINED
#define HV_WAVEFORMATEX_DEFINED
#define WAVE_FORMAT_PCM 1

// A sound format, packed to 18 bytes as in files and in format records that
// carry extra bytes after it.
#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
#endif

// Header flags.
#define WHDR_DONE 0x00000001u
#define WHDR_PREPARED 0x00000002u
#define WHDR_BEGINLOOP 0x00000004u
#define WHDR_ENDLOOP 0x00000008u
#define WHDR_INQUEUE 0x00000010u

// One buffer handed to a device. dwLoops counts how often the loop that
// starts at a WHDR_BEGINLOOP header plays; 0xFFFFFFFF is as good as endless.
struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
typedef WAVEHDR* LPWAVEHDR;
// The header's size in a 32-bit program; the header calls take it as well as
// sizeof(WAVEHDR).
#define WAVEHDR_SIZE32 32u

// Time formats: positions are given in bytes.
#define TIME_BYTES 0x0004u

struct MMTIME {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
        struct {
            BYTE hour, min, sec, frame, fps, dummy;
            BYTE pad[2];
        } smpte;
        struct {
            DWORD songptrpos;
        } midi;
    } u;
};
typedef MMTIME* LPMMTIME;

#define WAVECAPS_VOLUME 0x0004u
#define WAVECAPS_LRVOLUME 0x0008u

#define MAXPNAMELEN 32
struct WAVEOUTCAPSA {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};
typedef WAVEOUTCAPSA* LPWAVEOUTCAPSA;

// Output devices of the sound backend.
UINT waveOutGetNumDevs();
// The device's name (cut to 31 characters), two channels, every standard
// format and left/right volume. WAVE_MAPPER describes the default device.
MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT size);

// Opens device `deviceId` (or WAVE_MAPPER) for 8- or 16-bit PCM with one or
// two channels; WAVE_FORMAT_QUERY only checks the format. Only CALLBACK_NULL
// is offered: the program learns of finished buffers from their WHDR_DONE
// flag. WAVERR_BADFORMAT for another format, MMSYSERR_BADDEVICEID for a device
// that does not exist (no device at all: MMSYSERR_NODRIVER), MMSYSERR_ERROR
// when the sound system cannot open the device.
MMRESULT waveOutOpen(LPHWAVEOUT handle, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
// Refused with WAVERR_STILLPLAYING while a buffer is queued.
MMRESULT waveOutClose(HWAVEOUT handle);

// Marks a header WHDR_PREPARED. Unpreparing is refused with WAVERR_STILLPLAYING
// while the header is queued.
MMRESULT waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT size);
// Queues a prepared header (WAVERR_UNPREPARED otherwise): it gets WHDR_INQUEUE,
// loses WHDR_DONE, and plays after the ones queued before it. When it has
// played (or its loop has ended) it gets WHDR_DONE and leaves the queue. While
// the queue is empty the device plays silence and its position stays.
MMRESULT waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT size);
// Stops playback: every queued header gets WHDR_DONE and leaves the queue, and
// the position goes back to 0.
MMRESULT waveOutReset(HWAVEOUT handle);
// Bytes played since the device was opened or last reset (TIME_BYTES), not
// reduced modulo any buffer; it wraps at 2^32. A request for another time
// format is answered in TIME_BYTES, with wType set so.
MMRESULT waveOutGetPosition(HWAVEOUT handle, LPMMTIME time, UINT size);
// The device's volume: left in the low word, right in the high word, each
// 0 (silent) .. 0xFFFF (full); a mono device uses the low word.
MMRESULT waveOutSetVolume(HWAVEOUT handle, DWORD volume);

// Milliseconds since an arbitrary start (the kernel clock's tick count).
DWORD timeGetTime();

namespace platform::audio {

// The waveform-audio calls leave a program that rewrites a looping buffer
// while it plays to race the device's reads. A program that holds the bytes
// it writes has them handed over in one step instead: the device plays
// silence for held bytes and reads them again only once they are released.
// Holds last until released or until the device closes; a release names
// where its hold starts. MMSYSERR_INVALHANDLE for a device that is not open,
// MMSYSERR_INVALPARAM for no bytes.
MMRESULT holdWaveData(HWAVEOUT handle, const void* data, DWORD bytes);
MMRESULT releaseWaveData(HWAVEOUT handle, const void* data);

} // namespace platform::audio
