// ResourceFile.cpp: opening archives, the chain, and item lookup.
#include "core/lang/ResourceFile.h"

#include "platform/files/Files.h"
#include "platform/files/Modules.h"

namespace lang {

ResourceFile* ResourceFile::s_pCurrent = nullptr;

ResourceFile::ResourceFile(const String& path)
    : m_hModule(nullptr), m_pHeader(nullptr), m_bIndexMode(false), m_pNext(nullptr)
{
    if (path.endsWith(".dll") || path.endsWith(".DLL")) {
        m_hModule = LoadLibraryA(path.c_str());
        return;
    }
    m_bIndexMode = true;
    char resolved[2048];
    // SearchPathA answers the length it wrote, or the size it would need
    // when the buffer is too small (then the buffer holds nothing usable).
    DWORD n = SearchPathA(nullptr, path.c_str(), nullptr, sizeof resolved, resolved, nullptr);
    // Not found: the name as given, so that the failure names it.
    m_pHeader = new ResourceFileHeader(n == 0 || n >= sizeof resolved ? path : String(resolved));
}

ResourceFile::~ResourceFile()
{
    if (m_hModule)
        FreeLibrary(m_hModule);
    if (m_pHeader)
        m_pHeader->release();
    if (m_pNext)
        m_pNext->release();
}

void ResourceFile::open(const String& path)
{
    ResourceFile* archive = new ResourceFile(path);
    if (!s_pCurrent) {
        s_pCurrent = archive;
    } else {
        s_pCurrent->append(archive);
        archive->release(); // the chain holds the only reference
    }
}

void ResourceFile::closeAll()
{
    if (s_pCurrent) {
        s_pCurrent->release();
        s_pCurrent = nullptr;
    }
}

void ResourceFile::append(ResourceFile* other)
{
    ResourceFile* last = this;
    while (last->m_pNext)
        last = last->m_pNext;
    other->addRef();
    last->m_pNext = other;
}

ResourceItem* ResourceFile::getItem(const String& name, bool shared)
{
    if (m_bIndexMode)
        return m_pHeader ? m_pHeader->getItem(name, shared) : nullptr;
    DLLItem* item = new DLLItem();
    if (item->load(m_hModule, name.c_str()))
        return item;
    item->release();
    return m_pNext ? m_pNext->getItem(name, shared) : nullptr;
}

} // namespace lang
