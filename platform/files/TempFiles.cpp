// TempFiles.cpp: temporary names, CreateFileA over open(2) and the handover of
// its descriptor to the C runtime's streams.
#include "platform/files/TempFiles.h"

#include "platform/kernel/KernelObject.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A file opened by CreateFileA. It owns its descriptor until it is handed
// over with crtOpenOsfHandle.
class FileObject final : public platform::KernelObject {
public:
    explicit FileObject(int fd) : m_fd(fd) {}
    ~FileObject() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int detach()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

    // A file handle counts as signalled: there is no pending operation.
    DWORD wait(DWORD) override { return WAIT_OBJECT_0; }

private:
    int m_fd;
};

std::string temporaryDirectory()
{
    const char* dir = std::getenv("TMPDIR");
    struct stat st;
    if (dir && *dir && ::stat(dir, &st) == 0 && S_ISDIR(st.st_mode))
        return dir;
    return "/tmp";
}

std::string tempName(const std::string& directory, const char* prefix, unsigned number)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string name = directory;
    if (!name.empty() && name.back() != '\\' && name.back() != '/')
        name += '\\';
    for (int i = 0; i < 3 && prefix && prefix[i]; ++i)
        name += prefix[i];
    for (int shift = 12; shift >= 0; shift -= 4)
        name += kHex[(number >> shift) & 0xF];
    name += ".TMP";
    return name;
}

} // namespace

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer)
{
    std::string directory = platform::windowsPath(temporaryDirectory());
    if (directory.empty() || directory.back() != '\\')
        directory += '\\';
    if (!buffer || directory.size() + 1 > bufferLength)
        return DWORD(directory.size() + 1);
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return DWORD(directory.size());
}

UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName)
{
    if (!pathName || !tempFileName)
        return 0;
    std::string directory(pathName);
    if (unique != 0) {
        std::string name = tempName(directory, prefix, unique & 0xFFFF);
        if (name.size() >= MAX_PATH)
            return 0;
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        return unique & 0xFFFF;
    }
    // Start each search somewhere new, so that processes and repeated calls
    // seldom meet the same taken names.
    static std::atomic<unsigned> calls{0};
    unsigned start = (unsigned(::getpid()) * 2654435761u + calls.fetch_add(1) * 40503u) % 0xFFFFu;
    for (unsigned i = 0; i < 0xFFFFu; ++i) {
        unsigned number = (start + i) % 0xFFFFu + 1; // 1..0xFFFF: 0 means failure
        std::string name = tempName(directory, prefix, number);
        if (name.size() >= MAX_PATH)
            return 0;
        int fd = ::open(platform::nativePath(name.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            std::memcpy(tempFileName, name.c_str(), name.size() + 1);
            return number;
        }
        if (errno != EEXIST)
            return 0;
    }
    return 0;
}

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE)
{
    if (!fileName || !*fileName)
        return INVALID_HANDLE_VALUE;
    int flags = O_CLOEXEC;
    bool reads = (access & GENERIC_READ) != 0;
    bool writes = (access & GENERIC_WRITE) != 0;
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
        if (!writes)
            return INVALID_HANDLE_VALUE;
        flags |= O_TRUNC;
        break;
    default: return INVALID_HANDLE_VALUE;
    }
    std::string path = platform::nativePath(fileName);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    if (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE)
        ::unlink(path.c_str());
    return (new FileObject(fd))->handle();
}

int crtOpenOsfHandle(HANDLE file, int)
{
    auto* object = dynamic_cast<FileObject*>(platform::KernelObject::fromHandle(file));
    if (!object)
        return -1;
    int fd = object->detach();
    object->release();
    return fd;
}

FILE* crtFdopen(int fd, const char* mode)
{
    if (fd < 0 || !mode)
        return nullptr;
    return ::fdopen(fd, mode);
}
