// TempDir.h: a fresh temporary folder for a test, removed with everything in it,
// also when the process ends through exit() before the test's own scope does
// (the child of a death test).
#pragma once

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <map>
#include <string>
#include <unistd.h>

namespace testsupport {

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("hvtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
        Live& live = liveFolders();
        std::lock_guard<std::mutex> lock(live.mutex);
        live.paths[m_path.string()] = ::getpid();
    }
    ~TempDir()
    {
        {
            Live& live = liveFolders();
            std::lock_guard<std::mutex> lock(live.mutex);
            live.paths.erase(m_path.string());
        }
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return file(name);
    }

private:
    // The folders of this process that still exist; removed at exit. Never
    // destroyed, so that the exit handler finds it whatever the order of
    // static destruction.
    struct Live {
        std::mutex mutex;
        std::map<std::string, pid_t> paths; // each with the process that made it
    };
    static Live& liveFolders()
    {
        static Live* live = [] {
            Live* made = new Live;
            std::atexit(removeLiveFolders);
            return made;
        }();
        return *live;
    }
    static void removeLiveFolders()
    {
        Live& live = liveFolders();
        std::lock_guard<std::mutex> lock(live.mutex);
        // A forked child inherits the list, not the folders its parent made.
        for (const auto& entry : live.paths) {
            std::error_code ec;
            if (entry.second == ::getpid())
                std::filesystem::remove_all(entry.first, ec);
        }
        live.paths.clear();
    }

    std::filesystem::path m_path;
};

} // namespace testsupport
