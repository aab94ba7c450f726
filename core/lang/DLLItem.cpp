// DLLItem.cpp: reading a module's "FILE" resource.
#include "core/lang/DLLItem.h"

#include "platform/files/Modules.h"

namespace lang {

DLLItem::~DLLItem()
{
    if (m_hResource)
        FreeResource(m_hResource);
}

bool DLLItem::load(HMODULE module, const char* name)
{
    if (!module)
        return false;
    HRSRC found = FindResourceA(module, name, "FILE");
    if (!found)
        return false;
    m_hResource = LoadResource(module, found);
    m_pData = static_cast<unsigned char*>(LockResource(m_hResource));
    if (m_pData)
        m_nSize = int(SizeofResource(module, found));
    return m_pData != nullptr;
}

} // namespace lang
