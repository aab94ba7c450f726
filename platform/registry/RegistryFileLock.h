// RegistryFileLock.h: the advisory lock that copies of the game running at
// once take on a lock file beside their settings file, so that one copy's
// read, change and write of the file never overlaps another's.
#pragma once

#include <string>

namespace platform {

// Holds an exclusive flock on "<settings file>.lock" while it lives. The lock
// file is made when missing (its folder must exist) and never removed: it
// holds nothing, and removing it would let two copies lock two files.
class RegistryFileLock {
public:
    explicit RegistryFileLock(const std::string& settingsFile);
    ~RegistryFileLock();
    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;

    // Whether the lock file could be opened; the lock itself is taken when
    // the file system offers one.
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace platform
