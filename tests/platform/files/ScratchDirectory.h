// ScratchDirectory.h: a fresh temporary directory for one test, removed with
// everything in it when the test ends; also switches the current directory
// for a scope.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <ftw.h>

namespace testsupport {

class ScratchDirectory {
public:
    ScratchDirectory()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/hvfiles-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        if (::mkdtemp(buffer.data())) {
            // The physical path, as getcwd reports it.
            char* real = ::realpath(buffer.data(), nullptr);
            m_path = real ? real : buffer.data();
            std::free(real);
        }
    }
    ~ScratchDirectory()
    {
        if (!m_path.empty())
            ::nftw(m_path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

    void makeDirectory(const std::string& relative) const { ::mkdir((m_path + "/" + relative).c_str(), 0755); }
    void writeFile(const std::string& relative, const std::string& contents) const
    {
        std::ofstream out(m_path + "/" + relative, std::ios::binary);
        out << contents;
    }

private:
    static int removeEntry(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

    std::string m_path;
};

// Runs the rest of a scope in another current directory.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& path)
    {
        char buffer[4096];
        if (::getcwd(buffer, sizeof buffer))
            m_previous = buffer;
        m_changed = ::chdir(path.c_str()) == 0;
    }
    ~ScopedCurrentDirectory()
    {
        if (m_changed && !m_previous.empty())
            (void)!::chdir(m_previous.c_str());
    }
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

    bool changed() const { return m_changed; }

private:
    std::string m_previous;
    bool m_changed = false;
};

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace testsupport
