// Files.cpp: path mapping with case-insensitive lookup, the program path, file
// attributes, the search path and the current directory.
#include "platform/files/Files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::mutex g_programMutex;
std::string g_programOverride;

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool equalsIgnoringAsciiCase(const char* a, const std::string& b)
{
    size_t i = 0;
    for (; a[i] && i < b.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z')
            y = y - 'A' + 'a';
        if (x != y)
            return false;
    }
    return a[i] == 0 && i == b.size();
}

std::string join(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// The entry of `directory` whose name equals `name` regardless of ASCII case;
// the first in byte order when there are several, empty when there is none.
std::string findEntryIgnoringCase(const std::string& directory, const std::string& name)
{
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return std::string();
    std::string best;
    while (struct dirent* entry = ::readdir(dir)) {
        if (equalsIgnoringAsciiCase(entry->d_name, name) && (best.empty() || best > entry->d_name))
            best = entry->d_name;
    }
    ::closedir(dir);
    return best;
}

std::string resolveCase(const std::string& path)
{
    if (path.empty() || exists(path))
        return path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::string resolved = path[0] == '/' ? "/" : "";
    bool matching = true;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.empty()) // repeated separators
            continue;
        if (matching && part != "." && part != ".." && !exists(join(resolved, part))) {
            std::string found = findEntryIgnoringCase(resolved, part);
            if (!found.empty()) {
                resolved = join(resolved, found);
                continue;
            }
            matching = false;
        }
        resolved = join(resolved, part);
    }
    if (!path.empty() && path.back() == '/' && (resolved.empty() || resolved.back() != '/'))
        resolved += '/';
    return resolved;
}

std::string currentDirectory()
{
    std::vector<char> buffer(256);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// An absolute path without "." and ".." components or repeated separators.
std::string absolutePath(const std::string& path)
{
    std::string full = !path.empty() && path[0] == '/' ? path : join(currentDirectory(), path);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string realProgramPath()
{
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::string();
    return std::string(buffer.data(), size_t(n));
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool hasExtension(const std::string& name)
{
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// Copies `text` and its NUL when it fits; returns what the Windows calls do:
// the length without the NUL, or the size needed with it.
DWORD copyOut(const std::string& text, DWORD bufferLength, LPSTR buffer)
{
    if (!buffer || text.size() + 1 > bufferLength)
        return DWORD(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return DWORD(text.size());
}

} // namespace

std::string nativePath(const char* path)
{
    if (!path)
        return std::string();
    std::string mapped(path);
    for (char& c : mapped) {
        if (c == '\\')
            c = '/';
    }
    return resolveCase(mapped);
}

std::string windowsPath(const std::string& path)
{
    std::string mapped(path);
    for (char& c : mapped) {
        if (c == '/')
            c = '\\';
    }
    return mapped;
}

std::string programPath()
{
    {
        std::lock_guard<std::mutex> lock(g_programMutex);
        if (!g_programOverride.empty())
            return g_programOverride;
    }
    static const std::string real = realProgramPath();
    return real;
}

void setProgramPath(const char* path)
{
    std::string resolved = path && *path ? absolutePath(nativePath(path)) : std::string();
    std::lock_guard<std::mutex> lock(g_programMutex);
    g_programOverride = resolved;
}

std::string programDirectory()
{
    std::string path = programPath();
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace platform

FILE* crtFopen(const char* path, const char* mode)
{
    if (!path || !mode) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(platform::nativePath(path).c_str(), mode);
}

DWORD GetFileAttributesA(LPCSTR fileName)
{
    if (!fileName || !*fileName)
        return INVALID_FILE_ATTRIBUTES;
    std::string path = platform::nativePath(fileName);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (::access(path.c_str(), W_OK) != 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

DWORD SearchPathA(LPCSTR path, LPCSTR fileName, LPCSTR extension, DWORD bufferLength, LPSTR buffer,
                  LPSTR* filePart)
{
    using namespace platform;
    if (!fileName || !*fileName)
        return 0;
    std::string name(fileName);
    for (char& c : name) {
        if (c == '\\')
            c = '/';
    }
    if (extension && !hasExtension(name))
        name += extension;

    std::vector<std::string> directories;
    if (name[0] == '/') {
        directories.push_back(std::string());
    } else if (path) {
        for (const std::string& d : split(path, ';'))
            directories.push_back(nativePath(d.c_str()));
    } else {
        directories.push_back(programDirectory());
        directories.push_back(currentDirectory());
        if (const char* envPath = std::getenv("PATH")) {
            for (const std::string& d : split(envPath, ':'))
                directories.push_back(d);
        }
    }

    for (const std::string& directory : directories) {
        std::string candidate = resolveCase(directory.empty() ? name : join(directory, name));
        if (!isRegularFile(candidate))
            continue;
        std::string found = windowsPath(absolutePath(candidate));
        DWORD result = copyOut(found, bufferLength, buffer);
        if (result == found.size() && filePart)
            *filePart = buffer + found.find_last_of('\\') + 1;
        return result;
    }
    return 0;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer)
{
    std::string directory = platform::currentDirectory();
    if (directory.empty())
        return 0;
    return platform::copyOut(platform::windowsPath(directory), bufferLength, buffer);
}
