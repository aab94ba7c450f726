// RegistryFileLock.h: the advisory lock that copies of the game running at
// once take on a lock file beside their settings file, so that one copy's
// read, change and write of the file never overlaps another's.
#pragma once

#include <chrono>
#include <string>

namespace platform {

// Holds an exclusive flock on "<settings file>.lock" while it lives. The lock
// file is made when missing (its folder must exist) and never removed: it
// holds nothing, and removing it would let two copies lock two files.
class RegistryFileLock {
public:
    // How long a lock another program holds is waited for: far longer than
    // any copy's save holds it, and short enough that a copy stopped (by
    // Ctrl+Z or a debugger) in the middle of its save, or a network file
    // system that no longer answers, holds this one up for a few seconds
    // only.
    static constexpr std::chrono::milliseconds kWait{3000};

    // Waits for the lock for `wait` at most, on the clock.
    explicit RegistryFileLock(const std::string& settingsFile, std::chrono::milliseconds wait = kWait);
    ~RegistryFileLock();
    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;

    // Whether the lock file could be opened; the lock itself is taken when
    // the file system offers one.
    bool isOpen() const { return m_fd >= 0; }
    // Whether another program held the lock for the whole wait: it is not
    // held then.
    bool isHeldElsewhere() const { return m_heldElsewhere; }

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
};

} // namespace platform
