// RegistryStore.cpp: key handles, paths of sub-keys, values, and the settings
// file behind them.
#include "platform/registry/RegistryStore.h"

#include "platform/kernel/StandardError.h"
#include "platform/registry/RegistryFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

// Windows limits: a key name of 255 characters, a value name of 16383.
const size_t kStoreMaxKeyName = 255;
const size_t kMaxValueName = 16383;

std::string defaultFile()
{
    const char* own = std::getenv("HV_REGISTRY_FILE");
    if (own && *own)
        return own;
    std::string config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            struct passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || !*home)
            return std::string();
        config = std::string(home) + "/.config";
    }
    return config + "/lanternfield/registry.txt";
}

// Splits a sub-key path at '\'. One trailing '\' is allowed; an empty name
// elsewhere is a bad path.
LSTATUS splitPath(const char* path, std::vector<std::string>& parts)
{
    parts.clear();
    if (!path || !*path)
        return ERROR_SUCCESS;
    std::string p(path);
    if (p.back() == '\\')
        p.pop_back();
    size_t start = 0;
    for (;;) {
        size_t end = p.find('\\', start);
        std::string part = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty())
            return ERROR_BAD_PATHNAME;
        if (part.size() > kStoreMaxKeyName)
            return ERROR_INVALID_PARAMETER;
        parts.push_back(part);
        if (end == std::string::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

// The key at a path of names joined by '\\' below `root`; with `create`, the
// missing keys on the way are made, else null when one is missing.
RegistryKey* keyAtPath(RegistryKey& root, const std::string& path, bool create)
{
    RegistryKey* key = &root;
    size_t start = 0;
    while (key && start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        key = create ? key->addSubkey(part).get() : key->findSubkey(part).get();
        start = end + 1;
    }
    return key;
}

} // namespace

bool RegistryStore::withinLimits(const RegistryKey& key, const std::vector<std::string>& parts)
{
    // Only what the settings file may hold is made, so that every file
    // written is read again (see RegistryFile's limits).
    if (key.depth() + parts.size() > RegistryFile::kMaxDepth)
        return false;
    size_t keys = 0, values = 0;
    m_root->countTree(keys, values);
    if (parts.empty())
        return values < RegistryFile::kMaxValues && key.values().size() < RegistryFile::kMaxValuesPerKey;
    // The root itself is no key of the file's count.
    return keys - 1 + parts.size() <= RegistryFile::kMaxKeys;
}

RegistryStore& RegistryStore::instance()
{
    // Made on first use and never destroyed, so that settings written while
    // other static objects are torn down still reach the file.
    static RegistryStore* store = new RegistryStore;
    return *store;
}

std::string RegistryStore::file()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_fileChosen) {
        m_file = defaultFile();
        m_fileChosen = true;
    }
    return m_file;
}

void RegistryStore::setFile(const char* path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fileChosen = path != nullptr;
    m_file = path ? path : "";
    m_loaded = false;
    m_settingsFile.reset();
    m_root.reset();
    m_handles.clear();
    m_batchChanged = false;
    m_batchLock.reset();
    m_unsaved.clear();
    m_writeFailure.clear();
}

std::string RegistryStore::writeFailure()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeFailure;
}

void RegistryStore::ensureLoaded()
{
    if (m_loaded)
        return;
    if (!m_fileChosen) {
        m_file = defaultFile();
        m_fileChosen = true;
    }
    m_loaded = true;
    if (m_file.empty()) {
        StandardError::line("registry: no home folder; the settings are kept in memory only and are not saved\n");
        m_root = std::make_shared<RegistryKey>("");
        m_saveAllowed = false;
        return;
    }
    m_settingsFile = std::make_unique<RegistryFile>(m_file);
    m_saveAllowed = m_settingsFile->load(m_root);
    // A file there that cannot be read is a save that never happens, told
    // as a failed write is (the line at the start says the settings are
    // kept in memory only); a place that is no regular file is not.
    m_writeFailure = m_settingsFile->readFailure();
}

std::shared_ptr<RegistryKey> RegistryStore::resolve(HKEY key, LSTATUS* error)
{
    ensureLoaded();
    std::shared_ptr<RegistryKey> k;
    if (key == HKEY_CURRENT_USER) {
        k = m_root;
    } else {
        auto it = m_handles.find(reinterpret_cast<uintptr_t>(key));
        if (it == m_handles.end()) {
            *error = ERROR_INVALID_HANDLE;
            return nullptr;
        }
        k = it->second;
    }
    if (k->isDeleted()) {
        *error = ERROR_KEY_DELETED;
        return nullptr;
    }
    return k;
}

LSTATUS RegistryStore::save()
{
    if (!m_saveAllowed) {
        m_unsaved.clear();
        return ERROR_SUCCESS;
    }
    if (m_batchDepth > 0) {
        m_batchChanged = true;
        return ERROR_SUCCESS;
    }
    return written(m_settingsFile->save(*m_root, [this](RegistryKey& root) { replay(root); }));
}

LSTATUS RegistryStore::written(RegistryFile::WriteResult result)
{
    // The changes of a refused write are dropped with it, as the tree in
    // memory was: replayed into the next write, they would have it refused
    // too. Those of a write that failed are kept for the next one.
    if (result != RegistryFile::WriteResult::Failed)
        m_unsaved.clear();
    m_writeFailure = result == RegistryFile::WriteResult::Failed ? m_settingsFile->writeFailure() : std::string();
    return result == RegistryFile::WriteResult::Written ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LSTATUS RegistryStore::changed(Change change)
{
    m_unsaved.push_back(std::move(change));
    return save();
}

void RegistryStore::replay(RegistryKey& root) const
{
    for (const Change& change : m_unsaved) {
        RegistryKey* key = keyAtPath(root, change.path, change.kind == Change::CreateKey);
        if (!key)
            continue;
        switch (change.kind) {
        case Change::CreateKey:
            break;
        case Change::SetValue:
            key->setValue(change.name, change.type, change.data);
            break;
        case Change::DeleteValue:
            key->removeValue(change.name);
            break;
        case Change::DeleteKey: {
            // As the call itself: only a key without sub-keys goes.
            size_t slash = change.path.find_last_of('\\');
            RegistryKey* parent =
                slash == std::string::npos ? &root : keyAtPath(root, change.path.substr(0, slash), false);
            if (parent && key->subkeys().empty())
                parent->removeSubkey(key->name());
            break;
        }
        }
    }
}

LSTATUS RegistryStore::writeUnderBatchLock()
{
    return written(m_settingsFile->write(*m_root));
}

void RegistryStore::beginBatch()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_batchDepth++ > 0)
        return;
    ensureLoaded();
    if (!m_saveAllowed)
        return;
    // From here to the batch's end no other copy writes the file.
    m_batchLock = m_settingsFile->lock();
    if (m_batchLock && !m_settingsFile->merge(*m_root, [this](RegistryKey& root) { replay(root); }))
        m_batchLock.reset();
}

LSTATUS RegistryStore::endBatch()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return ERROR_SUCCESS;
    // The lock goes when this ends, after the write.
    std::unique_ptr<RegistryFileLock> held = std::move(m_batchLock);
    if (!m_batchChanged)
        return ERROR_SUCCESS;
    m_batchChanged = false;
    // A file dropped by setFile meanwhile has nothing of the batch to save.
    if (!m_loaded || !m_root)
        return ERROR_SUCCESS;
    return held ? writeUnderBatchLock() : save();
}

LSTATUS RegistryStore::openKey(HKEY parent, const char* subKey, bool create, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> key = resolve(parent, &error);
    if (!key)
        return error;
    std::vector<std::string> parts;
    if ((error = splitPath(subKey, parts)) != ERROR_SUCCESS)
        return error;

    if (create && !withinLimits(*key, parts)) {
        StandardError::line(std::string("registry: the key ") + subKey +
                            " is not made: the settings would go beyond what they may hold\n");
        return ERROR_INVALID_PARAMETER;
    }
    bool createdAny = false;
    for (const std::string& part : parts) {
        if (create) {
            bool created = false;
            key = key->addSubkey(part, &created);
            createdAny = createdAny || created;
        } else {
            key = key->findSubkey(part);
            if (!key)
                return ERROR_FILE_NOT_FOUND;
        }
    }
    uintptr_t handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles[handle] = key;
    *result = reinterpret_cast<HKEY>(handle);
    if (disposition)
        *disposition = createdAny ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    // A new key that cannot be saved yet still exists: the handle is good,
    // and the save failure has been reported. One the file was refused for
    // is gone with the refused changes.
    if (createdAny && changed(Change{Change::CreateKey, key->path(), std::string(), 0, {}}) != ERROR_SUCCESS &&
        key->isDeleted()) {
        m_handles.erase(handle);
        *result = nullptr;
        return ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
}

LSTATUS RegistryStore::closeKey(HKEY key)
{
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handles.erase(reinterpret_cast<uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegistryStore::queryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataSize)
{
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> k = resolve(key, &error);
    if (!k)
        return error;
    const RegistryKey::Value* v = k->findValue(name ? name : "");
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    DWORD size = DWORD(v->data.size());
    if (data) {
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        if (size)
            std::memcpy(data, v->data.data(), size);
    }
    if (dataSize)
        *dataSize = size;
    return ERROR_SUCCESS;
}

LSTATUS RegistryStore::setValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD dataSize)
{
    if (dataSize && !data)
        return ERROR_INVALID_PARAMETER;
    std::string valueName = name ? name : "";
    if (valueName.size() > kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    if (dataSize > RegistryFile::kMaxValueSize) {
        StandardError::line("registry: the value " + valueName + " is not set: " + std::to_string(dataSize) +
                            " bytes are more than a value may hold\n");
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> k = resolve(key, &error);
    if (!k)
        return error;
    if (!k->findValue(valueName) && !withinLimits(*k, {})) {
        StandardError::line("registry: the value " + valueName +
                            " is not made: the settings would go beyond what they may hold\n");
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<unsigned char> bytes(data, data + dataSize);
    k->setValue(valueName, type, bytes);
    return changed(Change{Change::SetValue, k->path(), valueName, type, std::move(bytes)});
}

LSTATUS RegistryStore::deleteValue(HKEY key, const char* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> k = resolve(key, &error);
    if (!k)
        return error;
    if (!k->removeValue(name ? name : ""))
        return ERROR_FILE_NOT_FOUND;
    return changed(Change{Change::DeleteValue, k->path(), name ? name : "", 0, {}});
}

LSTATUS RegistryStore::deleteKey(HKEY key, const char* subKey)
{
    // An empty name would mean the key itself; callers always name a sub-key.
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> parent = resolve(key, &error);
    if (!parent)
        return error;
    std::vector<std::string> parts;
    if ((error = splitPath(subKey, parts)) != ERROR_SUCCESS)
        return error;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        parent = parent->findSubkey(parts[i]);
        if (!parent)
            return ERROR_FILE_NOT_FOUND;
    }
    std::shared_ptr<RegistryKey> victim = parent->findSubkey(parts.back());
    if (!victim)
        return ERROR_FILE_NOT_FOUND;
    if (!victim->subkeys().empty())
        return ERROR_ACCESS_DENIED;
    const std::string path = victim->path();
    parent->removeSubkey(parts.back());
    return changed(Change{Change::DeleteKey, path, std::string(), 0, {}});
}

LSTATUS RegistryStore::enumKey(HKEY key, DWORD index, char* name, DWORD* nameLength)
{
    if (!name || !nameLength)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> k = resolve(key, &error);
    if (!k)
        return error;
    if (index >= k->subkeys().size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& sub = k->subkeys()[index]->name();
    if (sub.size() + 1 > *nameLength)
        return ERROR_MORE_DATA;
    std::memcpy(name, sub.c_str(), sub.size() + 1);
    *nameLength = DWORD(sub.size());
    return ERROR_SUCCESS;
}

LSTATUS RegistryStore::queryInfo(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                                 DWORD* maxValueNameLength, DWORD* maxValueLength)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    LSTATUS error = ERROR_SUCCESS;
    std::shared_ptr<RegistryKey> k = resolve(key, &error);
    if (!k)
        return error;
    size_t longestKey = 0, longestName = 0, longestData = 0;
    for (const auto& sub : k->subkeys())
        longestKey = std::max(longestKey, sub->name().size());
    for (const RegistryKey::Value& v : k->values()) {
        longestName = std::max(longestName, v.name.size());
        longestData = std::max(longestData, v.data.size());
    }
    if (subKeys)
        *subKeys = DWORD(k->subkeys().size());
    if (maxSubKeyLength)
        *maxSubKeyLength = DWORD(longestKey);
    if (values)
        *values = DWORD(k->values().size());
    if (maxValueNameLength)
        *maxValueNameLength = DWORD(longestName);
    if (maxValueLength)
        *maxValueLength = DWORD(longestData);
    return ERROR_SUCCESS;
}

} // namespace platform
