// RegistryFile.h: the settings file that keeps the registry between runs: a
// line-oriented text, read whole and written whole through a temporary file
// that replaces the old one in a single rename.
#pragma once

#include "platform/registry/RegistryKey.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class RegistryFileLock;

// The file starts with "HVREGISTRY 1". Each key is a line K "path" (names
// joined by '\', the root's path empty), followed by its values as lines
// V "name" type data; the data of a text value is quoted, any other data is
// 'x' and its bytes in hex. The last line E n counts the K and V lines, so a
// file cut short is told from a whole one. Inside quotes the bytes 0x20..0x7E
// stand for themselves except '"' and '%'; every other byte is %XX.
//
// Several copies of the game may share one file: each reading and writing
// of it happens under the lock of a RegistryFileLock beside the file a write
// replaces (the one a link leads to), so that copies reaching one file by
// different paths take one lock. A write whose lock another program holds
// for longer than a few seconds fails (see RegistryFileLock::kWait); the
// first read (load) goes on without it.
//
// Only a regular file is read (a link to one is followed); a device, a pipe
// or a folder in its place is left alone and the settings are then kept in
// memory only. A settings file that is a link stays one: a write replaces
// the file the link leads to, and keeps its permissions; so does the first
// write after a damaged file was set aside by this object.
class RegistryFile {
public:
    // The most a file may hold: far beyond what the game writes (keys five
    // deep, a few dozen keys and a few hundred values, pieces of 4096 bytes
    // and a story of at most 1024 of them per player), and little enough
    // that a hostile file cannot blow the registry up in memory or on disk.
    static constexpr size_t kMaxDepth = 16;
    static constexpr size_t kMaxKeys = 4096;
    static constexpr size_t kMaxValues = 65536;
    static constexpr size_t kMaxValuesPerKey = 1024;
    // Bytes of one value, and of the whole file.
    static constexpr size_t kMaxValueSize = 1u << 20;
    static constexpr size_t kMaxFileSize = 64u << 20;

    explicit RegistryFile(std::string path) : m_path(std::move(path)) {}

    // Makes `root` a new key filled from the file. A missing file leaves it empty. A damaged
    // one (also one beyond the limits) is renamed aside (".damaged", ".damaged.1", ...) with a diagnostic
    // line on stderr, and `root` stays empty. Returns whether the registry may
    // be saved to this path: false when the file exists but could not be read
    // or moved aside, so that it is never overwritten unseen.
    bool load(std::shared_ptr<RegistryKey>& root);

    // Takes the lock of the file, making its folder when missing; null, with
    // the write's failure, when that cannot be done or another program
    // holds the lock for the whole wait (see RegistryFileLock::kWait).
    std::unique_ptr<RegistryFileLock> lock();
    // Under the lock: reads the file again and, when it reads, `replay`
    // applies this copy's unsaved changes to what it holds now (another copy
    // may have saved since) and `root` takes the result; a missing or
    // damaged file leaves `root` as it is. False when the file can no longer
    // be read: it must not be written then.
    bool merge(RegistryKey& root, const std::function<void(RegistryKey&)>& replay);
    enum class WriteResult {
        Written,
        // Larger than a file may be: not written, and `root` went back to
        // what the file holds, since the same changes would make every
        // later write too large as well.
        Refused,
        // The file could not be written (or read first); `root` keeps the
        // changes, which a later write may still save.
        Failed,
    };
    // Under the lock: the whole registry goes to a temporary file of its own
    // beside the settings file, is flushed to the disk and renamed over the
    // settings file, so a crash leaves either the old or the new file. A
    // registry too large to be read again is not written (the debug output
    // says so); one that fails to be written tells why in writeFailure.
    WriteResult write(RegistryKey& root);
    // lock, merge and write.
    WriteResult save(RegistryKey& root, const std::function<void(RegistryKey&)>& replay);
    // What kept the last failed write from the disk, and why ("/x/registry.txt
    // cannot be written (No space left on device)"); the debug output has it
    // too.
    const std::string& writeFailure() const { return m_writeFailure; }
    // Why the last read found a file it could not take (it cannot be read,
    // or it is damaged and cannot be moved aside), so that the settings are
    // not saved to it: "/x/registry.txt cannot be read (Permission denied)".
    // Empty after any other read: one that found no file, or anything but a
    // regular file, which is left alone on purpose.
    const std::string& readFailure() const { return m_readFailure; }

    // Writes `bytes` to a new file beside the settings file (the file a
    // link leads to) named after it with "." and `suffix` (".1", ".2", ...
    // added when that name is taken), with its permissions: what the game
    // no longer uses, kept for the user. Its path, or "" with the reason in
    // `error`.
    std::string keepBeside(const std::string& suffix, const std::string& bytes, std::string& error) const;

    static std::string serialize(const RegistryKey& root);
    // Parses a whole file into an empty root; on failure `error` tells the
    // line and what is wrong with it, and the root may be partly filled.
    static bool parse(const std::string& text, RegistryKey& root, std::string* error);

private:
    enum class ReadResult { Missing, Read, SetAside, Unreadable };
    // Reads the file into a new `root` (empty unless it was read); a damaged
    // file is set aside. The caller holds the lock when there is a folder.
    ReadResult read(std::shared_ptr<RegistryKey>& root);
    // Moves a damaged file aside, with a diagnostic line naming `why`.
    ReadResult setAside(const std::string& why);
    // Keeps what failed (with the system's error, unless 0) as the write's
    // failure.
    void writeFailed(const std::string& what, int error);
    // How long the next lock is waited for.
    std::chrono::milliseconds lockWait() const;

    std::string m_path;
    // The permissions of the file last set aside (-1 for none), which the
    // file written in its place takes.
    int m_setAsideMode = -1;
    // What kept the last failed write from the disk.
    std::string m_writeFailure;
    // Why the last read could not take the file it found.
    std::string m_readFailure;
    // Whether another program held the lock through the last wait for it.
    bool m_lockHeldElsewhere = false;
};

} // namespace platform
