// MetaclassList.cpp: deleting the made metaclasses, newest first.
#include "core/lang/MetaclassList.h"

namespace lang {

void MetaclassList::deleteLast()
{
    if (m_made.empty())
        return;
    delete m_made.back();
    m_made.pop_back();
}

void MetaclassList::deleteAll()
{
    while (!m_made.empty())
        deleteLast();
}

} // namespace lang
