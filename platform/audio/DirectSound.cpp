// DirectSound.cpp: the sound-buffer module's entry points: device creation,
// device enumeration, and the resolver of the built-in "dsound.dll".
#include "platform/audio/DirectSound.h"

#include "platform/audio/AudioBackend.h"
#include "platform/audio/dsound/SoundDevice.h"
#include "platform/audio/dsound/SoundMixer.h"

#include <cstring>
#include <string>

using namespace platform::audio;

namespace {

// The primary buffer's format until the program sets one: 22050 Hz, 8-bit, stereo.
const AudioFormat kFirstPrimaryFormat{22050, 2, 8};

constexpr GUID kNullGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The identifier given to the backend's device `index`.
GUID deviceGuid(int index)
{
    GUID guid = {0x6c3f1a02, 0x4d2e, 0x4b7a, {0x9a, 0x10, 0x3e, 0x51, 0x00, 0x01, 0x00, 0x00}};
    guid.Data4[6] = BYTE(index >> 8);
    guid.Data4[7] = BYTE(index);
    return guid;
}

// The backend's device index for an identifier: -1 for the default device,
// -2 when no device has it.
int deviceIndex(LPCGUID guid, int count)
{
    if (!guid || *guid == kNullGuid)
        return -1;
    for (int i = 0; i < count; ++i)
        if (*guid == deviceGuid(i))
            return i;
    return -2;
}

SoundDevice* createDevice(LPCGUID guid, HRESULT& result)
{
    auto backend = audioBackend();
    const int count = backend->deviceCount();
    const int index = count > 0 ? deviceIndex(guid, count) : -2;
    if (index == -2) {
        result = DSERR_NODRIVER;
        return nullptr;
    }
    auto mixer = std::make_shared<SoundMixer>();
    if (!mixer->open(backend, index, kFirstPrimaryFormat)) {
        result = DSERR_ALLOCATED;
        return nullptr;
    }
    result = DS_OK;
    return new SoundDevice(std::move(mixer));
}

} // namespace

HRESULT DirectSoundCreate8(LPCGUID device, IDirectSound8** object, IUnknown* outer)
{
    if (!object)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (outer)
        return DSERR_NOAGGREGATION;
    HRESULT result;
    *object = createDevice(device, result);
    return result;
}

HRESULT DirectSoundCreate(LPCGUID device, IDirectSound** object, IUnknown* outer)
{
    if (!object)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (outer)
        return DSERR_NOAGGREGATION;
    HRESULT result;
    *object = createDevice(device, result);
    return result;
}

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context)
{
    if (!callback)
        return DSERR_INVALIDPARAM;
    auto backend = audioBackend();
    const int count = backend->deviceCount();
    if (count <= 0)
        return DS_OK;
    if (!callback(nullptr, "Primary Sound Driver", "", context))
        return DS_OK;
    for (int i = 0; i < count; ++i) {
        GUID guid = deviceGuid(i);
        std::string name = backend->deviceName(i);
        if (!callback(&guid, name.c_str(), "", context))
            break;
    }
    return DS_OK;
}

namespace platform::audio {

FARPROC resolveDirectSound(const char* procName)
{
    if (!procName)
        return nullptr;
    if (std::strcmp(procName, "DirectSoundCreate8") == 0)
        return reinterpret_cast<FARPROC>(&DirectSoundCreate8);
    if (std::strcmp(procName, "DirectSoundCreate") == 0)
        return reinterpret_cast<FARPROC>(&DirectSoundCreate);
    if (std::strcmp(procName, "DirectSoundEnumerateA") == 0)
        return reinterpret_cast<FARPROC>(&DirectSoundEnumerateA);
    return nullptr;
}

void loseSoundBuffers(IDirectSound* device)
{
    if (auto* d = dynamic_cast<SoundDevice*>(device))
        d->mixer().loseAll();
}

} // namespace platform::audio
