// RegistryKey.h: one key of the registry in memory: its values in the order
// they were made and its sub-keys in the order of their upper-case names.
#pragma once

#include "platform/Win32Types.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

class RegistryKey {
public:
    struct Value {
        std::string name;
        DWORD type = 0;
        std::vector<unsigned char> data;
    };

    explicit RegistryKey(std::string name) : m_name(std::move(name)) {}
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& name() const { return m_name; }
    // A deleted key stays alive while handles refer to it; they then fail.
    bool isDeleted() const { return m_deleted; }

    // The value of that name (any case), or null.
    Value* findValue(const std::string& name);
    // Replaces the data and type of an existing value (its name keeps its
    // case) or appends a new value.
    void setValue(const std::string& name, DWORD type, std::vector<unsigned char> data);
    // Whether there was such a value.
    bool removeValue(const std::string& name);
    const std::vector<Value>& values() const { return m_values; }

    // The sub-key of that name (any case), or null.
    std::shared_ptr<RegistryKey> findSubkey(const std::string& name) const;
    // The existing sub-key of that name, or a new one in its sorted place.
    std::shared_ptr<RegistryKey> addSubkey(const std::string& name, bool* created = nullptr);
    // Unlinks the sub-key and marks it deleted; whether there was one.
    bool removeSubkey(const std::string& name);
    const std::vector<std::shared_ptr<RegistryKey>>& subkeys() const { return m_subkeys; }

    // Compares names as the registry orders them: byte by byte after mapping
    // both to upper case (Windows-1252). Below 0, 0 or above 0.
    static int compareNames(const std::string& a, const std::string& b);

private:
    std::string m_name;
    bool m_deleted = false;
    std::vector<Value> m_values;
    std::vector<std::shared_ptr<RegistryKey>> m_subkeys;
};

} // namespace platform
