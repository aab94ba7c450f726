// RegistryKey.cpp: values and sub-keys of one registry key, found without
// regard to case.
#include "platform/registry/RegistryKey.h"

#include "platform/kernel/AnsiText.h"

#include <algorithm>

namespace platform {

int RegistryKey::compareNames(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = ansiToUpper(static_cast<unsigned char>(a[i]));
        int cb = ansiToUpper(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

RegistryKey::Value* RegistryKey::findValue(const std::string& name)
{
    for (Value& v : m_values) {
        if (compareNames(v.name, name) == 0)
            return &v;
    }
    return nullptr;
}

void RegistryKey::setValue(const std::string& name, DWORD type, std::vector<unsigned char> data)
{
    if (Value* v = findValue(name)) {
        v->type = type;
        v->data = std::move(data);
        return;
    }
    m_values.push_back(Value{name, type, std::move(data)});
}

bool RegistryKey::removeValue(const std::string& name)
{
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (compareNames(it->name, name) == 0) {
            m_values.erase(it);
            return true;
        }
    }
    return false;
}

std::shared_ptr<RegistryKey> RegistryKey::findSubkey(const std::string& name) const
{
    auto it = std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name,
                               [](const std::shared_ptr<RegistryKey>& k, const std::string& n) {
                                   return compareNames(k->name(), n) < 0;
                               });
    if (it != m_subkeys.end() && compareNames((*it)->name(), name) == 0)
        return *it;
    return nullptr;
}

std::shared_ptr<RegistryKey> RegistryKey::addSubkey(const std::string& name, bool* created)
{
    auto it = std::lower_bound(m_subkeys.begin(), m_subkeys.end(), name,
                               [](const std::shared_ptr<RegistryKey>& k, const std::string& n) {
                                   return compareNames(k->name(), n) < 0;
                               });
    if (it != m_subkeys.end() && compareNames((*it)->name(), name) == 0) {
        if (created)
            *created = false;
        return *it;
    }
    if (created)
        *created = true;
    return *m_subkeys.insert(it, std::make_shared<RegistryKey>(name));
}

bool RegistryKey::removeSubkey(const std::string& name)
{
    for (auto it = m_subkeys.begin(); it != m_subkeys.end(); ++it) {
        if (compareNames((*it)->name(), name) == 0) {
            (*it)->m_deleted = true;
            m_subkeys.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace platform
