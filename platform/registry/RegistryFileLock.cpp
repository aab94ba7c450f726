// RegistryFileLock.cpp: the lock file beside the settings file.
#include "platform/registry/RegistryFileLock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// The longest pause between two tries for a held lock: a copy's save lets it
// go within milliseconds.
constexpr std::chrono::milliseconds kLongestPause{20};

} // namespace

RegistryFileLock::RegistryFileLock(const std::string& settingsFile, std::chrono::milliseconds wait)
{
    const std::string path = settingsFile + ".lock";
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    // Tried without blocking, until the wait is over. A file system without
    // locks (flock failing otherwise than by a signal or a lock held) leaves
    // the copies unguarded, as they were before locks.
    const auto end = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            m_heldElsewhere = true;
            return;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, end - now));
        pause = std::min(pause * 2, kLongestPause);
    }
}

RegistryFileLock::~RegistryFileLock()
{
    // Closing the last descriptor of the open file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
