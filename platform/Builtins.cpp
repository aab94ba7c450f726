// Builtins.cpp: the modules the engine loads by name that are built into the
// program: "d3d9.dll" resolves to the software graphics device and "dsound.dll"
// to the sound output over the audio backend. This file is
// linked whole into every program, so the registration always runs.
#include "platform/audio/DirectSound.h"
#include "platform/d3d9/D3D9.h"
#include "platform/files/Modules.h"

#include <cstring>

namespace {

FARPROC resolveGraphicsDevice(const char* procName)
{
    if (procName && std::strcmp(procName, "Direct3DCreate9") == 0)
        return reinterpret_cast<FARPROC>(&Direct3DCreate9);
    return nullptr;
}

struct BuiltinRegistrar {
    BuiltinRegistrar()
    {
        platform::registerBuiltinModule("d3d9.dll", &resolveGraphicsDevice);
        platform::registerBuiltinModule("dsound.dll", &platform::audio::resolveDirectSound);
    }
};

BuiltinRegistrar g_registrar;

} // namespace
