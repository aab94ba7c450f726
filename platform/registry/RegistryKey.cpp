// RegistryKey.cpp: values and sub-keys of one registry key, found without
// regard to case.
#include "platform/registry/RegistryKey.h"

#include "platform/kernel/AnsiText.h"

#include <algorithm>

namespace platform {

RegistryKey::~RegistryKey()
{
    // A deep tree freed by the chain of destructors would use one stack
    // frame per level: the keys below are taken over and freed here, each
    // once its sub-keys have been moved out. A key a handle still holds
    // keeps its sub-keys.
    std::vector<std::shared_ptr<RegistryKey>> pending = std::move(m_subkeys);
    while (!pending.empty()) {
        std::shared_ptr<RegistryKey> key = std::move(pending.back());
        pending.pop_back();
        if (key.use_count() == 1) {
            for (auto& sub : key->m_subkeys)
                pending.push_back(std::move(sub));
            key->m_subkeys.clear();
        }
    }
}

std::string RegistryKey::path() const
{
    std::vector<const RegistryKey*> chain;
    for (const RegistryKey* k = this; k->m_parent; k = k->m_parent) {
        if (k->m_deleted)
            return std::string();
        chain.push_back(k);
    }
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!out.empty())
            out += '\\';
        out += (*it)->m_name;
    }
    return out;
}

size_t RegistryKey::depth() const
{
    size_t n = 0;
    for (const RegistryKey* k = this; k->m_parent; k = k->m_parent)
        ++n;
    return n;
}

void RegistryKey::countTree(size_t& keys, size_t& values) const
{
    keys = 0;
    values = 0;
    std::vector<const RegistryKey*> work{this};
    while (!work.empty()) {
        const RegistryKey* key = work.back();
        work.pop_back();
        ++keys;
        values += key->m_values.size();
        for (const auto& sub : key->m_subkeys)
            work.push_back(sub.get());
    }
}

void RegistryKey::markDeletedTree()
{
    std::vector<RegistryKey*> work{this};
    while (!work.empty()) {
        RegistryKey* key = work.back();
        work.pop_back();
        key->m_deleted = true;
        key->m_parent = nullptr;
        for (const auto& sub : key->m_subkeys)
            work.push_back(sub.get());
    }
}

void RegistryKey::takeContentOf(RegistryKey& other)
{
    std::vector<std::pair<RegistryKey*, RegistryKey*>> work{{this, &other}};
    while (!work.empty()) {
        RegistryKey* ours = work.back().first;
        RegistryKey* theirs = work.back().second;
        work.pop_back();
        ours->m_values = std::move(theirs->m_values);
        ours->m_valueIndex = std::move(theirs->m_valueIndex);
        theirs->m_values.clear();
        theirs->m_valueIndex.clear();
        for (const auto& mine : ours->m_subkeys) {
            if (!theirs->findSubkey(mine->m_name))
                mine->markDeletedTree();
        }
        std::vector<std::shared_ptr<RegistryKey>> kept;
        kept.reserve(theirs->m_subkeys.size());
        for (const auto& sub : theirs->m_subkeys) {
            std::shared_ptr<RegistryKey> mine = ours->findSubkey(sub->m_name);
            if (mine) {
                mine->m_name = sub->m_name;
                work.emplace_back(mine.get(), sub.get());
                kept.push_back(std::move(mine));
            } else {
                sub->m_parent = ours;
                kept.push_back(sub);
            }
        }
        ours->m_subkeys = std::move(kept);
    }
    // The keys taken over now belong to this tree alone.
    other.m_subkeys.clear();
}

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

std::string RegistryKey::upperName(const std::string& name)
{
    std::string upper(name);
    for (char& c : upper)
        c = char(ansiToUpper(static_cast<unsigned char>(c)));
    return upper;
}

RegistryKey::Value* RegistryKey::findValue(const std::string& name)
{
    auto it = m_valueIndex.find(upperName(name));
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

bool RegistryKey::setValue(const std::string& name, DWORD type, std::vector<unsigned char> data)
{
    auto found = m_valueIndex.emplace(upperName(name), m_values.size());
    if (!found.second) {
        Value& v = m_values[found.first->second];
        v.type = type;
        v.data = std::move(data);
        return false;
    }
    m_values.push_back(Value{name, type, std::move(data)});
    return true;
}

bool RegistryKey::removeValue(const std::string& name)
{
    auto it = m_valueIndex.find(upperName(name));
    if (it == m_valueIndex.end())
        return false;
    const size_t at = it->second;
    m_valueIndex.erase(it);
    m_values.erase(m_values.begin() + std::ptrdiff_t(at));
    // The values after it moved up by one.
    for (auto& entry : m_valueIndex) {
        if (entry.second > at)
            --entry.second;
    }
    return true;
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
    auto key = std::make_shared<RegistryKey>(name);
    key->m_parent = this;
    return *m_subkeys.insert(it, std::move(key));
}

bool RegistryKey::removeSubkey(const std::string& name)
{
    for (auto it = m_subkeys.begin(); it != m_subkeys.end(); ++it) {
        if (compareNames((*it)->name(), name) == 0) {
            (*it)->m_deleted = true;
            (*it)->m_parent = nullptr;
            m_subkeys.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace platform
