// DirectSound.h: the sound-buffer device the engine mixes through, with
// exactly the methods it calls: a device object, its primary buffer (the
// output format) and secondary buffers mixed in software into one output.
#pragma once

#include "platform/Win32Types.h"
#include "platform/audio/WinMM.h"
#include "platform/d3d9/Unknown.h"

typedef GUID* LPGUID;
typedef const GUID* LPCGUID;

// Identifiers of this layer's interfaces, answered by QueryInterface.
constexpr IID IID_IDirectSound = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x01}};
constexpr IID IID_IDirectSound8 = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x02}};
constexpr IID IID_IDirectSoundBuffer = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x03}};
constexpr IID IID_IDirectSound3DListener = {0x6c3f1a02, 0x4d2e, 0x4b7a,
                                            {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x04}};
constexpr IID IID_IDirectSound3DBuffer = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x00, 0x05}};

// 3D algorithms a buffer may ask for; this layer positions no sound in 3D, so
// they are only recorded. The default is the null identifier.
constexpr GUID DS3DALG_DEFAULT = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr GUID DS3DALG_HRTF_FULL = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x01, 0x01}};
constexpr GUID DS3DALG_HRTF_LIGHT = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x00, 0x01, 0x02}};

// Results.
#define DS_OK ((HRESULT)0)
#define DSERR_ALLOCATED ((HRESULT)0x8878000AL)
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001EL)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL ((HRESULT)0x88780032L)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED ((HRESULT)0x88780046L)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT ((HRESULT)0x88780064L)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER ((HRESULT)0x88780078L)
#define DSERR_BUFFERLOST ((HRESULT)0x88780096L)
#define DSERR_NOAGGREGATION ((HRESULT)0x80040110L)

// Cooperative levels.
#define DSSCL_NORMAL 0x00000001u
#define DSSCL_PRIORITY 0x00000002u
#define DSSCL_EXCLUSIVE 0x00000003u
#define DSSCL_WRITEPRIMARY 0x00000004u

// Speaker configurations (the low byte; the rest carries a geometry).
#define DSSPEAKER_DIRECTOUT 0x00000000u
#define DSSPEAKER_HEADPHONE 0x00000001u
#define DSSPEAKER_MONO 0x00000002u
#define DSSPEAKER_QUAD 0x00000003u
#define DSSPEAKER_STEREO 0x00000004u
#define DSSPEAKER_SURROUND 0x00000005u
#define DSSPEAKER_5POINT1 0x00000006u

// Device capability flags.
#define DSCAPS_PRIMARYMONO 0x00000001u
#define DSCAPS_PRIMARYSTEREO 0x00000002u
#define DSCAPS_PRIMARY8BIT 0x00000004u
#define DSCAPS_PRIMARY16BIT 0x00000008u
#define DSCAPS_CONTINUOUSRATE 0x00000010u
#define DSCAPS_EMULDRIVER 0x00000020u
#define DSCAPS_SECONDARYMONO 0x00000100u
#define DSCAPS_SECONDARYSTEREO 0x00000200u
#define DSCAPS_SECONDARY8BIT 0x00000400u
#define DSCAPS_SECONDARY16BIT 0x00000800u

// Buffer flags.
#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_LOCHARDWARE 0x00000004u
#define DSBCAPS_LOCSOFTWARE 0x00000008u
#define DSBCAPS_CTRL3D 0x00000010u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100u
#define DSBCAPS_CTRLFX 0x00000200u
#define DSBCAPS_STICKYFOCUS 0x00004000u
#define DSBCAPS_GLOBALFOCUS 0x00008000u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000u
#define DSBCAPS_LOCDEFER 0x00040000u

// Play flags.
#define DSBPLAY_LOOPING 0x00000001u
#define DSBPLAY_LOCHARDWARE 0x00000002u
#define DSBPLAY_LOCSOFTWARE 0x00000004u

// Status flags.
#define DSBSTATUS_PLAYING 0x00000001u
#define DSBSTATUS_BUFFERLOST 0x00000002u
#define DSBSTATUS_LOOPING 0x00000004u
#define DSBSTATUS_LOCSOFTWARE 0x00000010u

// Lock flags.
#define DSBLOCK_FROMWRITECURSOR 0x00000001u
#define DSBLOCK_ENTIREBUFFER 0x00000002u

// Ranges: sizes in bytes, frequencies in Hz, volume and pan in hundredths of
// a decibel of attenuation (the minimum is silence).
#define DSBSIZE_MIN 4u
#define DSBSIZE_MAX 0x0FFFFFFFu
#define DSBFREQUENCY_ORIGINAL 0u
#define DSBFREQUENCY_MIN 100u
#define DSBFREQUENCY_MAX 200000u
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000

// 3D settings apply at once, or when the listener commits them.
#define DS3D_IMMEDIATE 0x00000000u
#define DS3D_DEFERRED 0x00000001u

struct DSCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMinSecondarySampleRate;
    DWORD dwMaxSecondarySampleRate;
    DWORD dwPrimaryBuffers;
    DWORD dwMaxHwMixingAllBuffers;
    DWORD dwMaxHwMixingStaticBuffers;
    DWORD dwMaxHwMixingStreamingBuffers;
    DWORD dwFreeHwMixingAllBuffers;
    DWORD dwFreeHwMixingStaticBuffers;
    DWORD dwFreeHwMixingStreamingBuffers;
    DWORD dwMaxHw3DAllBuffers;
    DWORD dwMaxHw3DStaticBuffers;
    DWORD dwMaxHw3DStreamingBuffers;
    DWORD dwFreeHw3DAllBuffers;
    DWORD dwFreeHw3DStaticBuffers;
    DWORD dwFreeHw3DStreamingBuffers;
    DWORD dwTotalHwMemBytes;
    DWORD dwFreeHwMemBytes;
    DWORD dwMaxContigFreeHwMemBytes;
    DWORD dwUnlockTransferRateHwBuffers;
    DWORD dwPlayCpuOverheadSwBuffers;
    DWORD dwReserved1;
    DWORD dwReserved2;
};
typedef DSCAPS* LPDSCAPS;

// A buffer's description. The record without guid3DAlgorithm is the older,
// shorter form; dwSize tells which one is given. The sizes the record has in
// a 32-bit program (36 and 20 bytes) are taken as well as the native ones.
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;
#define DSBUFFERDESC_SIZE32 36u
#define DSBUFFERDESC1_SIZE32 20u
#define DSBUFFERDESC1_SIZE offsetof(DSBUFFERDESC, guid3DAlgorithm)

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

struct DS3DBUFFER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    DWORD dwInsideConeAngle;
    DWORD dwOutsideConeAngle;
    D3DVECTOR vConeOrientation;
    LONG lConeOutsideVolume;
    float flMinDistance;
    float flMaxDistance;
    DWORD dwMode;
};

struct DS3DLISTENER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    D3DVECTOR vOrientFront;
    D3DVECTOR vOrientTop;
    float flDistanceFactor;
    float flRolloffFactor;
    float flDopplerFactor;
};

// A sound buffer. The primary buffer stands for the output and takes only
// SetFormat; secondary buffers hold sound and are mixed into the output.
struct IDirectSoundBuffer : IUnknown {
    // Play and write cursors in bytes, each modulo the buffer's size; the play
    // cursor is where the output has got to, the write cursor is as far ahead
    // as the output has already taken. Either pointer may be null.
    virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
    virtual HRESULT GetStatus(LPDWORD status) = 0;
    // Gives the buffer's memory from `offset` for `bytes`: a range past the
    // end continues at the start in the second part (null and 0 otherwise).
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                         LPDWORD bytes2, DWORD flags) = 0;
    // Plays from the current position; without DSBPLAY_LOOPING it stops at
    // the end and goes back to the start.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // The output's format (primary buffer only, from DSSCL_PRIORITY).
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    // Attenuation in hundredths of a decibel, DSBVOLUME_MIN (silent) .. 0.
    virtual HRESULT SetVolume(LONG volume) = 0;
    // Attenuation of one side in hundredths of a decibel: a positive value
    // attenuates the left side, a negative one the right side.
    virtual HRESULT SetPan(LONG pan) = 0;
    // Playback rate in Hz; DSBFREQUENCY_ORIGINAL gives back the format's rate.
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    // Stops playing; the position stays.
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) = 0;
    // Gives back a lost buffer's memory (the sound in it must be written again).
    virtual HRESULT Restore() = 0;

protected:
    ~IDirectSoundBuffer() = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// The 3D interfaces: declared for callers written against them; no object of
// this layer has them (QueryInterface answers E_NOINTERFACE), since the device
// offers no 3D voices.
struct IDirectSound3DListener : IUnknown {
    virtual HRESULT SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) = 0;
    virtual HRESULT CommitDeferredSettings() = 0;

protected:
    ~IDirectSound3DListener() = default;
};

struct IDirectSound3DBuffer : IUnknown {
    virtual HRESULT GetAllParameters(DS3DBUFFER* parameters) = 0;
    virtual HRESULT SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) = 0;
    virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;

protected:
    ~IDirectSound3DBuffer() = default;
};

// The device.
struct IDirectSound : IUnknown {
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, IDirectSoundBuffer** buffer,
                                      IUnknown* outer) = 0;
    // Reports software mixing only: no hardware or 3D voices, no emulation.
    virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
    // A buffer that plays the same memory with a position, state, volume, pan
    // and frequency of its own; it starts stopped at position 0.
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) = 0;
    // Any window is taken: focus does not matter here, every buffer is heard.
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // Recorded only: the output has the channels its primary format gives.
    virtual HRESULT SetSpeakerConfig(DWORD config) = 0;

protected:
    ~IDirectSound() = default;
};
typedef IDirectSound* LPDIRECTSOUND;

struct IDirectSound8 : IDirectSound {
protected:
    ~IDirectSound8() = default;
};
typedef IDirectSound8* LPDIRECTSOUND8;

// The device for `device` (null or the null identifier: the default device;
// otherwise an identifier DirectSoundEnumerateA gave). It opens the sound
// backend's device at once with the primary buffer's first format, 22050 Hz
// 8-bit stereo. DSERR_NODRIVER when there is no such device, DSERR_ALLOCATED
// when it cannot be opened, DSERR_NOAGGREGATION for a non-null outer object.
HRESULT DirectSoundCreate8(LPCGUID device, IDirectSound8** object, IUnknown* outer);
HRESULT DirectSoundCreate(LPCGUID device, IDirectSound** object, IUnknown* outer);

// Calls `callback` for the default device (null identifier, "Primary Sound
// Driver") and then for each device of the sound backend, while it answers
// TRUE. No device: no call.
typedef BOOL(CALLBACK* LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);

namespace platform::audio {

// The entry points of the sound-buffer module by name ("DirectSoundCreate8",
// "DirectSoundCreate", "DirectSoundEnumerateA"), for registering the built-in
// module "dsound.dll"; null for any other name.
FARPROC resolveDirectSound(const char* procName);

// Marks every buffer of the device lost, as when another program takes the
// sound hardware: they stop; Lock and Play answer DSERR_BUFFERLOST until Restore.
void loseSoundBuffers(IDirectSound* device);

} // namespace platform::audio
