// RegistryKey.h: one key of the registry in memory: its values in the order
// they were made and its sub-keys in the order of their upper-case names.
#pragma once

#include "platform/Win32Types.h"

#include <memory>
#include <string>
#include <unordered_map>
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
    // Frees the whole tree below without recursion, however deep it is.
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& name() const { return m_name; }
    // A deleted key stays alive while handles refer to it; they then fail.
    bool isDeleted() const { return m_deleted; }
    // The names from below the root down to this key, joined by '\'; ""
    // for the root and for a key no longer in the tree.
    std::string path() const;
    // How many names the path has: 0 for the root.
    size_t depth() const;
    // The keys (this one included) and values of the tree from this key.
    void countTree(size_t& keys, size_t& values) const;

    // The value of that name (any case), or null; found through an index
    // by upper-case name, however many values the key holds.
    Value* findValue(const std::string& name);
    // Replaces the data and type of an existing value (its name keeps its
    // case) or appends a new value; whether it was new.
    bool setValue(const std::string& name, DWORD type, std::vector<unsigned char> data);
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

    // Makes this tree hold what `other` holds, taking its values and keys:
    // keys of the same path stay the same objects (so handles on them keep
    // working), keys `other` lacks are marked deleted, and `other` is left
    // empty.
    void takeContentOf(RegistryKey& other);

    // Compares names as the registry orders them: byte by byte after mapping
    // both to upper case (Windows-1252). Below 0, 0 or above 0.
    static int compareNames(const std::string& a, const std::string& b);
    // The name mapped to upper case, as names are compared.
    static std::string upperName(const std::string& name);

private:
    // Marks this key and everything below it deleted and unlinks it.
    void markDeletedTree();

    std::string m_name;
    RegistryKey* m_parent = nullptr;
    bool m_deleted = false;
    std::vector<Value> m_values;
    // Upper-case name -> position in m_values.
    std::unordered_map<std::string, size_t> m_valueIndex;
    std::vector<std::shared_ptr<RegistryKey>> m_subkeys;
};

} // namespace platform
