// acm_stream.h: the Audio Compression Manager calls the WAV reader uses,
// backed by our own stateless block decoders for IMA ADPCM, MS ADPCM,
// A-law and mu-law (all decoded to 16-bit PCM).
#pragma once

#include "platform/Win32Types.h"
#include "platform/audio/WinMM.h"

HV_DECLARE_HANDLE(HACMDRIVER);
HV_DECLARE_HANDLE(HACMSTREAM);
typedef struct tWAVEFILTER* LPWAVEFILTER;

#define WAVE_FORMAT_ADPCM 0x0002
#define WAVE_FORMAT_ALAW 0x0006
#define WAVE_FORMAT_MULAW 0x0007
#define WAVE_FORMAT_IMA_ADPCM 0x0011
#define WAVE_FORMAT_EXTENSIBLE 0xFFFE

#define ACM_FORMATSUGGESTF_WFORMATTAG 0x00010000u
#define ACM_STREAMOPENF_NONREALTIME 0x00000004u
#define ACM_STREAMSIZEF_SOURCE 0x00000000u
#define ACMERR_NOTPOSSIBLE 512
#define ACMSTREAMHEADER_STATUSF_PREPARED 0x00020000u

struct ACMSTREAMHEADER {
    DWORD cbStruct;
    DWORD fdwStatus;
    DWORD_PTR dwUser;
    LPBYTE pbSrc;
    DWORD cbSrcLength;
    DWORD cbSrcLengthUsed;
    DWORD_PTR dwSrcUser;
    LPBYTE pbDst;
    DWORD cbDstLength;
    DWORD cbDstLengthUsed;
    DWORD_PTR dwDstUser;
    DWORD dwReservedDriver[10];
};

// Fills `destination` with the 16-bit PCM format a supported source decodes
// to (same channels and rate); MMSYSERR_NOERROR or ACMERR_NOTPOSSIBLE.
MMRESULT acmFormatSuggest(HACMDRIVER driver, const WAVEFORMATEX* source, WAVEFORMATEX* destination,
                          DWORD destinationBytes, DWORD flags);
MMRESULT acmStreamOpen(HACMSTREAM* stream, HACMDRIVER driver, const WAVEFORMATEX* source,
                       const WAVEFORMATEX* destination, LPWAVEFILTER filter, DWORD_PTR callback, DWORD_PTR instance,
                       DWORD flags);
// Destination bytes for `inputBytes` source bytes: whole blocks only.
MMRESULT acmStreamSize(HACMSTREAM stream, DWORD inputBytes, DWORD* outputBytes, DWORD flags);
MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
// Decodes the whole source blocks that fit the destination.
MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
MMRESULT acmStreamClose(HACMSTREAM stream, DWORD flags);
