// RegistryFileLock.cpp: the lock file beside the settings file.
#include "platform/registry/RegistryFileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

RegistryFileLock::RegistryFileLock(const std::string& settingsFile)
{
    const std::string path = settingsFile + ".lock";
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    // A file system without locks (flock failing otherwise than by a
    // signal) leaves the copies unguarded, as they were before locks.
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

RegistryFileLock::~RegistryFileLock()
{
    // Closing the last descriptor of the open file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
