// RegistryStore.h: the process's registry: the key tree read from the settings
// file on first use, the open key handles, and saving after every change.
#pragma once

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFile.h"
#include "platform/registry/RegistryFileLock.h"
#include "platform/registry/RegistryKey.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// Every operation takes the store's lock, so the loader thread and the window
// thread may both use the registry. Changes not yet in the file are also
// kept as a list, by path: when the file is saved, it is read again first,
// and the list is applied to what another copy of the game may have saved
// meanwhile, so that neither copy's changes are lost.
//
// A batch holds the file's lock from its start to its end: it starts from
// the file as it is then, and no other copy writes the file until the batch
// has written it, so what a batch reads and changes is one whole step.
class RegistryStore {
public:
    static RegistryStore& instance();

    std::string file();
    void setFile(const char* path);
    // See registryWriteFailure.
    std::string writeFailure();

    LSTATUS openKey(HKEY parent, const char* subKey, bool create, HKEY* result, DWORD* disposition);
    LSTATUS closeKey(HKEY key);
    LSTATUS queryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataSize);
    LSTATUS setValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD dataSize);
    LSTATUS deleteValue(HKEY key, const char* name);
    LSTATUS deleteKey(HKEY key, const char* subKey);
    LSTATUS enumKey(HKEY key, DWORD index, char* name, DWORD* nameLength);
    LSTATUS queryInfo(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength);

    // The outermost batch takes the file's lock and reads the file again;
    // while a batch is open, changes are kept in memory and marked; the end
    // of the outermost batch saves them in one write and lets the lock go,
    // and returns the write's error (see save); any other end succeeds.
    void beginBatch();
    LSTATUS endBatch();

private:
    // One change of the tree, by the path of its key.
    struct Change {
        enum Kind { CreateKey, DeleteKey, SetValue, DeleteValue } kind;
        std::string path;
        std::string name;
        DWORD type = 0;
        std::vector<unsigned char> data;
    };

    RegistryStore() = default;

    // Whether a new value in `key` (with no parts) or new keys below it
    // along `parts` stay within what a settings file may hold.
    bool withinLimits(const RegistryKey& key, const std::vector<std::string>& parts);
    // Notes a change for the next save; then saves (see save).
    LSTATUS changed(Change change);
    // Applies the unsaved changes to a tree read afresh from the file: keys
    // another copy deleted meanwhile stay deleted unless this copy made
    // them again.
    void replay(RegistryKey& root) const;

    // Reads the settings file when the tree is not loaded yet.
    void ensureLoaded();
    // The key of a handle; null with the error when it is unknown or deleted.
    std::shared_ptr<RegistryKey> resolve(HKEY key, LSTATUS* error);
    // Saves the tree when it is kept in a file (later, inside a batch).
    // ERROR_WRITE_FAULT when the file was not written; a write refused as
    // too large has dropped the unsaved changes.
    LSTATUS save();
    // The error of a write, and the unsaved changes it leaves.
    LSTATUS written(RegistryFile::WriteResult result);
    // Writes the tree as it is under the lock the batch holds.
    LSTATUS writeUnderBatchLock();

    std::mutex m_mutex;
    bool m_fileChosen = false;
    std::string m_file;
    // The settings file once loaded; one object for all its reads and
    // writes, which remembers what it learnt of the file between them.
    std::unique_ptr<RegistryFile> m_settingsFile;
    bool m_loaded = false;
    bool m_saveAllowed = false;
    std::shared_ptr<RegistryKey> m_root;
    std::unordered_map<uintptr_t, std::shared_ptr<RegistryKey>> m_handles;
    uintptr_t m_nextHandle = 0x1000;
    int m_batchDepth = 0;
    bool m_batchChanged = false;
    // The file's lock, held by the outermost batch once it has read the file.
    std::unique_ptr<RegistryFileLock> m_batchLock;
    std::vector<Change> m_unsaved;
    // Why the last write failed, while its changes wait for the next one.
    std::string m_writeFailure;
};

} // namespace platform
