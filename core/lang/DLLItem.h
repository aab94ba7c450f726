// DLLItem.h: an item of a module archive: a "FILE" resource of the module.
#pragma once

#include "core/lang/ResourceItem.h"
#include "platform/Win32Types.h"

namespace lang {

class DLLItem : public ResourceItem {
public:
    DLLItem() : m_hResource(nullptr), m_pData(nullptr), m_nSize(0) {}
    ~DLLItem() override;

    // Finds the "FILE" resource of that name in the module, loads and locks
    // it; false when the module has no such data.
    bool load(HMODULE module, const char* name);

    unsigned char* getData() override { return m_pData; }
    int getSize() override { return m_nSize; }

    HV_CLASS_NAME("DLLItem", ResourceItem)

private:
    HGLOBAL m_hResource;
    unsigned char* m_pData;
    int m_nSize;
};

} // namespace lang
