// The graphics device is reached the way the engine reaches it: by loading
// "d3d9.dll" and asking for its factory function.
#include "platform/d3d9/D3D9.h"
#include "platform/files/Modules.h"

#include <gtest/gtest.h>

namespace {

TEST(BuiltinModules, GraphicsDeviceLoadsByName)
{
    HMODULE module = LoadLibraryA("d3d9.dll");
    ASSERT_NE(module, nullptr);
    using Create = IDirect3D9* (*)(UINT);
    auto create = reinterpret_cast<Create>(GetProcAddress(module, "Direct3DCreate9"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(GetProcAddress(module, "NoSuchFunction"), nullptr);
    IDirect3D9* d3d = create(32);
    ASSERT_NE(d3d, nullptr);
    d3d->Release();
    FreeLibrary(module);
    EXPECT_NE(LoadLibraryA("D3D9.DLL"), nullptr) << "module names ignore case";
}

TEST(BuiltinModules, SoundOutputLoadsByName)
{
    HMODULE module = LoadLibraryA("dsound.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectSoundCreate8"), nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectSoundCreate"), nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectSoundEnumerateA"), nullptr);
    EXPECT_EQ(LoadLibraryA("dsound3d.dll"), nullptr) << "no 3D sound module exists";
    FreeLibrary(module);
}

} // namespace
