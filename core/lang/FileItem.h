// FileItem.h: an item of an index archive: where its bytes lie in the archive
// data, and the bytes once they have been read.
#pragma once

#include "core/lang/ResourceItem.h"

namespace lang {

class FileItem : public ResourceItem {
public:
    FileItem(int offset, int size) : m_pData(nullptr), m_nSize(size), m_nOffset(offset) {}
    ~FileItem() override;

    unsigned char* getData() override { return m_pData; }
    int getSize() override { return m_nSize; }
    int getOffset() const { return m_nOffset; }
    bool isLoaded() const { return m_pData != nullptr; }
    // Takes ownership of a block of getSize() bytes read from the archive.
    void setData(unsigned char* data) { m_pData = data; }
    // A new item with the same place and size and no bytes.
    FileItem* clone() const { return new FileItem(m_nOffset, m_nSize); }

    HV_CLASS_NAME("FileItem", ResourceItem)

private:
    unsigned char* m_pData;
    int m_nSize;
    int m_nOffset;
};

} // namespace lang
