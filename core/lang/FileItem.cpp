// FileItem.cpp: an index archive item owns the bytes read for it.
#include "core/lang/FileItem.h"

#include <cstdlib>

namespace lang {

FileItem::~FileItem()
{
    std::free(m_pData);
}

} // namespace lang
