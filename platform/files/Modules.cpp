// Modules.cpp: the table of loaded modules (built-in and module files read as
// data), their handles, entry points and resources.
#include "platform/files/Modules.h"

#include "platform/files/Files.h"
#include "platform/files/PeImage.h"

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform {
namespace {

// Module files above this size are refused: resource sizes and offsets are
// 32-bit, and the whole file is held in memory.
const std::streamoff kMaxModuleFileSize = std::streamoff(1) << 31;

struct Module {
    std::string name;                              // built-in: the registered name
    FARPROC (*resolve)(const char*) = nullptr;     // built-in only
    std::string path;                              // module file: absolute Linux path
    std::unique_ptr<PeImage> image;                // module file only
    int loadCount = 0;

    HMODULE handle() { return reinterpret_cast<HMODULE>(this); }
};

// The table is built on first use, so that built-in modules may register from
// static initialisers of other files, and never destroyed, so that static
// destructors elsewhere may still free their modules.
struct Registry {
    std::mutex mutex;
    std::map<HMODULE, std::unique_ptr<Module>> modules;

    Module* find(HMODULE h)
    {
        auto it = modules.find(h);
        return it == modules.end() ? nullptr : it->second.get();
    }

    Module* builtin(const std::string& name)
    {
        for (auto& entry : modules) {
            if (entry.second->resolve && lowercase(entry.second->name) == lowercase(name))
                return entry.second.get();
        }
        return nullptr;
    }

    Module* file(const std::string& path)
    {
        for (auto& entry : modules) {
            if (entry.second->image && entry.second->path == path)
                return entry.second.get();
        }
        return nullptr;
    }

    static std::string lowercase(std::string text)
    {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        }
        return text;
    }
};

Registry& registry()
{
    static Registry* r = new Registry();
    return *r;
}

// The pseudo instance handle of the program itself.
struct ProgramInstance {
    int unused = 0;
} g_programInstance;

HMODULE programInstance()
{
    return reinterpret_cast<HMODULE>(&g_programInstance);
}

std::string baseName(const char* path)
{
    const char* base = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            base = p + 1;
    }
    return base;
}

bool hasSeparator(const char* path)
{
    return std::strchr(path, '\\') || std::strchr(path, '/');
}

// The absolute Linux path of a module file, or empty when there is none. A
// name with a directory part is taken from the current directory (or as it
// is, when absolute); a bare name goes through the whole search path.
std::string locate(const char* fileName)
{
    char found[4096];
    DWORD n = SearchPathA(hasSeparator(fileName) ? "." : nullptr, fileName, nullptr, sizeof found, found, nullptr);
    if (n == 0 || n >= sizeof found)
        return std::string();
    return nativePath(found);
}

std::unique_ptr<PeImage> readImage(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return nullptr;
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxModuleFileSize)
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return nullptr;
    return PeImage::parse(std::move(bytes));
}

} // namespace

void registerBuiltinModule(const char* name, FARPROC (*resolve)(const char* procName))
{
    if (!name || !resolve)
        return;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (Module* existing = r.builtin(name)) {
        existing->resolve = resolve;
        return;
    }
    auto module = std::make_unique<Module>();
    module->name = name;
    module->resolve = resolve;
    HMODULE h = module->handle();
    r.modules[h] = std::move(module);
}

void unregisterBuiltinModule(const char* name)
{
    if (!name)
        return;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (Module* existing = r.builtin(name))
        r.modules.erase(existing->handle());
}

} // namespace platform

using platform::Module;
using platform::registry;

HMODULE LoadLibraryA(LPCSTR fileName)
{
    if (!fileName || !*fileName)
        return nullptr;
    platform::Registry& r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (Module* builtin = r.builtin(platform::baseName(fileName))) {
            ++builtin->loadCount;
            return builtin->handle();
        }
    }
    std::string path = platform::locate(fileName);
    if (path.empty())
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (Module* loaded = r.file(path)) {
            ++loaded->loadCount;
            return loaded->handle();
        }
    }
    std::unique_ptr<platform::PeImage> image = platform::readImage(path);
    if (!image)
        return nullptr;
    std::lock_guard<std::mutex> lock(r.mutex);
    if (Module* loaded = r.file(path)) { // another thread was quicker
        ++loaded->loadCount;
        return loaded->handle();
    }
    auto module = std::make_unique<Module>();
    module->path = path;
    module->image = std::move(image);
    module->loadCount = 1;
    HMODULE h = module->handle();
    r.modules[h] = std::move(module);
    return h;
}

BOOL FreeLibrary(HMODULE module)
{
    platform::Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    Module* m = r.find(module);
    if (!m)
        return FALSE;
    if (m->loadCount > 0)
        --m->loadCount;
    if (m->image && m->loadCount == 0)
        r.modules.erase(module);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    if (!procName || IS_INTRESOURCE(procName))
        return nullptr;
    FARPROC (*resolve)(const char*) = nullptr;
    {
        platform::Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        if (Module* m = r.find(module))
            resolve = m->resolve;
    }
    // Called outside the lock: a resolver may load other modules.
    return resolve ? resolve(procName) : nullptr;
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    return moduleName ? nullptr : platform::programInstance();
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    std::string path;
    if (!module || module == platform::programInstance()) {
        path = platform::windowsPath(platform::programPath());
    } else {
        platform::Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        Module* m = r.find(module);
        if (!m)
            return 0;
        path = m->image ? platform::windowsPath(m->path) : m->name;
    }
    if (path.size() + 1 > size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = 0;
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return DWORD(path.size());
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    if (!module || !name || !type)
        return nullptr;
    platform::Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    Module* m = r.find(module);
    if (!m || !m->image)
        return nullptr;
    const platform::PeImage::Resource* found =
        m->image->find(platform::PeImage::keyOf(type), platform::PeImage::keyOf(name));
    return reinterpret_cast<HRSRC>(const_cast<platform::PeImage::Resource*>(found));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    platform::Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    Module* m = r.find(module);
    if (!m || !m->image || !resource || !m->image->owns(resource))
        return nullptr;
    const auto* record = reinterpret_cast<const platform::PeImage::Resource*>(resource);
    return const_cast<uint8_t*>(m->image->dataOf(*record));
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    platform::Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    Module* m = r.find(module);
    if (!m || !m->image || !resource || !m->image->owns(resource))
        return 0;
    return reinterpret_cast<const platform::PeImage::Resource*>(resource)->size;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}
