// RegistryFile.cpp: reading, checking and atomically writing the settings file.
#include "platform/registry/RegistryFile.h"

#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/StandardError.h"
#include "platform/registry/RegistryFileLock.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const char kHeader[] = "HVREGISTRY 1";
// How long a lock is waited for after another program held it through a
// whole wait: a copy's save holds it for milliseconds.
constexpr std::chrono::milliseconds kLockWaitAfterHeld{200};
// Key names longer than this are refused by the registry, so a file that has
// one was not written by it.
const size_t kMaxKeyName = 255;

const char kHexDigits[] = "0123456789ABCDEF";

void appendQuoted(std::string& out, const std::string& bytes)
{
    out += '"';
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c <= 0x7E && c != '"' && c != '%') {
            out += char(c);
        } else {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        }
    }
    out += '"';
}

void appendHex(std::string& out, const std::vector<unsigned char>& bytes)
{
    out += 'x';
    for (unsigned char c : bytes) {
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 15];
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Writes every key, parents before their sub-keys, without recursion.
void serializeTree(std::string& out, const RegistryKey& root, size_t& records)
{
    std::vector<std::pair<const RegistryKey*, std::string>> work{{&root, std::string()}};
    records = 0;
    while (!work.empty()) {
        const RegistryKey* key = work.back().first;
        const std::string path = std::move(work.back().second);
        work.pop_back();
        out += "K ";
        appendQuoted(out, path);
        out += '\n';
        for (const RegistryKey::Value& v : key->values()) {
            out += "V ";
            appendQuoted(out, v.name);
            out += ' ';
            out += std::to_string(v.type);
            out += ' ';
            if (v.type == 1 || v.type == 2) // REG_SZ and REG_EXPAND_SZ stay readable
                appendQuoted(out, std::string(v.data.begin(), v.data.end()));
            else
                appendHex(out, v.data);
            out += '\n';
        }
        records += 1 + key->values().size();
        // Pushed last first, so that the sub-keys come out in their order.
        const auto& subs = key->subkeys();
        for (auto it = subs.rbegin(); it != subs.rend(); ++it)
            work.emplace_back(it->get(), path.empty() ? (*it)->name() : path + "\\" + (*it)->name());
    }
}

// Reads the fields of one line from position `pos`.
class LineReader {
public:
    explicit LineReader(const std::string& line) : m_line(line) {}

    bool atEnd() const { return m_pos == m_line.size(); }
    bool space()
    {
        if (m_pos < m_line.size() && m_line[m_pos] == ' ') {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool quoted(std::string& out)
    {
        if (m_pos >= m_line.size() || m_line[m_pos] != '"')
            return false;
        ++m_pos;
        out.clear();
        while (m_pos < m_line.size() && m_line[m_pos] != '"') {
            char c = m_line[m_pos];
            if (c == '%') {
                if (m_pos + 2 >= m_line.size())
                    return false;
                int hi = hexValue(m_line[m_pos + 1]);
                int lo = hexValue(m_line[m_pos + 2]);
                if (hi < 0 || lo < 0)
                    return false;
                out += char(hi * 16 + lo);
                m_pos += 3;
            } else {
                out += c;
                ++m_pos;
            }
        }
        if (m_pos >= m_line.size())
            return false;
        ++m_pos;
        return true;
    }
    bool number(unsigned long long& out, unsigned long long max)
    {
        size_t start = m_pos;
        out = 0;
        while (m_pos < m_line.size() && m_line[m_pos] >= '0' && m_line[m_pos] <= '9') {
            out = out * 10 + unsigned(m_line[m_pos] - '0');
            if (out > max)
                return false;
            ++m_pos;
        }
        return m_pos > start;
    }
    bool data(std::vector<unsigned char>& out)
    {
        out.clear();
        if (m_pos < m_line.size() && m_line[m_pos] == '"') {
            std::string text;
            if (!quoted(text))
                return false;
            out.assign(text.begin(), text.end());
            return true;
        }
        if (m_pos >= m_line.size() || m_line[m_pos] != 'x')
            return false;
        ++m_pos;
        out.reserve((m_line.size() - m_pos) / 2);
        while (m_pos < m_line.size()) {
            if (m_pos + 1 >= m_line.size())
                return false;
            int hi = hexValue(m_line[m_pos]);
            int lo = hexValue(m_line[m_pos + 1]);
            if (hi < 0 || lo < 0)
                return false;
            out.push_back(static_cast<unsigned char>(hi * 16 + lo));
            m_pos += 2;
        }
        return true;
    }

private:
    const std::string& m_line;
    size_t m_pos = 0;
};

// Finds the key of a path, making the keys on the way and counting them in
// `keys`; null with the reason in `why` for a bad path or one beyond the
// limits.
std::shared_ptr<RegistryKey> keyOfPath(const std::shared_ptr<RegistryKey>& root, const std::string& path, size_t& keys,
                                       const char*& why)
{
    std::shared_ptr<RegistryKey> key = root;
    if (path.empty())
        return key;
    size_t start = 0;
    for (size_t depth = 1;; ++depth) {
        size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        why = "a bad key path";
        if (part.empty() || part.size() > kMaxKeyName)
            return nullptr;
        why = "keys nested too deep";
        if (depth > RegistryFile::kMaxDepth)
            return nullptr;
        bool created = false;
        key = key->addSubkey(part, &created);
        why = "too many keys";
        if (created && ++keys > RegistryFile::kMaxKeys)
            return nullptr;
        if (end == std::string::npos)
            return key;
        start = end + 1;
    }
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& folder)
{
    if (folder.empty() || fileExists(folder))
        return true;
    size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// The file a write replaces: the settings file itself or, when that is a
// link (as in a folder of dotfiles), the file the links lead to, which need
// not exist yet. A loop of links gives the last name looked at.
std::string linkTarget(const std::string& path)
{
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        char buffer[4096];
        const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (n <= 0 || size_t(n) >= sizeof buffer)
            break;
        std::string next(buffer, size_t(n));
        if (next[0] != '/') {
            const size_t slash = target.find_last_of('/');
            if (slash != std::string::npos)
                next = target.substr(0, slash + 1) + next;
        }
        target = next;
    }
    return target;
}

// `base`, or when a file of that name exists "<base>.1", "<base>.2", ...:
// the first name no file has.
std::string unusedName(const std::string& base)
{
    std::string name = base;
    for (int i = 1; fileExists(name); ++i)
        name = base + "." + std::to_string(i);
    return name;
}

// The folder a file's path names ("." for none).
std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the names in the folder of `path` durable (a rename, a new file).
void syncFolderOf(const std::string& path)
{
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// The temporary files of writes are named "<settings file>.tmp.<pid>.<n>".
const char kTemporaryMark[] = ".tmp.";

// Whether `rest`, what follows the mark in a name, is "<pid>.<n>": the
// files kept beside the settings for the user ("<settings file>.tmp.story"
// for a player named "tmp") start with the mark too.
bool isTemporaryNumbering(const char* rest)
{
    int parts = 1;
    bool digits = false;
    for (; *rest; ++rest) {
        if (*rest >= '0' && *rest <= '9') {
            digits = true;
        } else if (*rest == '.' && digits && parts == 1) {
            digits = false;
            ++parts;
        } else {
            return false;
        }
    }
    return parts == 2 && digits;
}

// Removes the temporary files that writers killed halfway left beside the
// settings file. Under the lock no writer is at work, so each one found is
// a leftover.
void removeLeftoverTemporaries(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + kTemporaryMark;
    DIR* dir = ::opendir(folderOf(path).c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0 &&
            isTemporaryNumbering(entry->d_name + prefix.size()))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

std::string RegistryFile::serialize(const RegistryKey& root)
{
    std::string out = kHeader;
    out += '\n';
    size_t records = 0;
    serializeTree(out, root, records);
    out += "E ";
    out += std::to_string(records);
    out += '\n';
    return out;
}

bool RegistryFile::parse(const std::string& text, RegistryKey& rootKey, std::string* error)
{
    // A non-owning handle on the caller's root, so that keyOfPath can walk it.
    std::shared_ptr<RegistryKey> root(std::shared_ptr<RegistryKey>(), &rootKey);
    std::shared_ptr<RegistryKey> current;
    size_t records = 0;
    size_t keys = 0;
    size_t values = 0;
    size_t lineNumber = 0;
    size_t pos = 0;
    bool ended = false;
    auto fail = [&](const char* why) {
        if (error)
            *error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };

    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        ++lineNumber;
        if (eol == std::string::npos)
            return fail("the file ends in the middle of a line");
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;

        if (lineNumber == 1) {
            if (line != kHeader)
                return fail("not a settings file");
            continue;
        }
        if (ended)
            return fail("text after the end line");
        if (line.rfind("K ", 0) == 0) {
            std::string rest = line.substr(2);
            LineReader kr(rest);
            std::string path;
            if (!kr.quoted(path) || !kr.atEnd())
                return fail("a bad key line");
            const char* why = "";
            current = keyOfPath(root, path, keys, why);
            if (!current)
                return fail(why);
            ++records;
        } else if (line.rfind("V ", 0) == 0) {
            if (!current)
                return fail("a value before any key");
            std::string rest = line.substr(2);
            LineReader vr(rest);
            std::string name;
            unsigned long long type = 0;
            std::vector<unsigned char> data;
            if (!vr.quoted(name) || !vr.space() || !vr.number(type, 0xFFFFFFFFull) || !vr.space() || !vr.data(data) ||
                !vr.atEnd())
                return fail("a bad value line");
            if (++values > kMaxValues || current->values().size() >= kMaxValuesPerKey)
                return fail("too many values");
            if (data.size() > kMaxValueSize)
                return fail("a value too large");
            if (!current->setValue(name, DWORD(type), std::move(data)))
                return fail("a value listed twice");
            ++records;
        } else if (line.rfind("E ", 0) == 0) {
            std::string rest = line.substr(2);
            LineReader er(rest);
            unsigned long long count = 0;
            if (!er.number(count, ~0ull / 10) || !er.atEnd())
                return fail("a bad end line");
            if (count != records)
                return fail("the record count does not match");
            ended = true;
        } else {
            return fail("an unknown line");
        }
    }
    if (lineNumber == 0)
        return fail("the file is empty");
    if (!ended) {
        ++lineNumber;
        return fail("the end line is missing (the file was cut short)");
    }
    return true;
}

RegistryFile::ReadResult RegistryFile::read(std::shared_ptr<RegistryKey>& root)
{
    root = std::make_shared<RegistryKey>("");
    m_readFailure.clear();
    // Without blocking: a pipe in the file's place must not hold the game
    // up until someone writes to it.
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        m_readFailure = m_path + " cannot be read (" + std::strerror(errno) + ")";
        StandardError::line("registry: the settings file " + m_path + " cannot be read (" + std::strerror(errno) +
                            "); the settings are kept in memory only and are not saved\n");
        return ReadResult::Unreadable;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        StandardError::line("registry: the settings file " + m_path +
                            " cannot be read: it is not a regular file; it is left alone, and the settings are kept "
                            "in memory only and are not saved\n");
        return ReadResult::Unreadable;
    }
    std::string text;
    bool readError = false;
    if (size_t(st.st_size) <= kMaxFileSize) {
        text.reserve(size_t(st.st_size));
        char buffer[65536];
        // Up to one byte more than a file may hold: a file that grew meanwhile.
        while (text.size() <= kMaxFileSize) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                readError = n < 0;
                break;
            }
            text.append(buffer, size_t(n));
        }
    }
    const int readErrno = errno;
    ::close(fd);
    if (readError) {
        m_readFailure = m_path + " cannot be read (" + std::strerror(readErrno) + ")";
        StandardError::line("registry: the settings file " + m_path +
                            " cannot be read; the settings are kept in memory only and are not saved\n");
        return ReadResult::Unreadable;
    }
    if (size_t(st.st_size) > kMaxFileSize || text.size() > kMaxFileSize)
        return setAside("larger than a settings file may be");

    std::string error;
    auto parsed = std::make_shared<RegistryKey>("");
    if (parse(text, *parsed, &error)) {
        root = parsed;
        return ReadResult::Read;
    }
    parsed.reset();
    return setAside(error);
}

RegistryFile::ReadResult RegistryFile::setAside(const std::string& why)
{
    // A link stays where it is: the file it leads to goes aside.
    const std::string target = linkTarget(m_path);
    struct stat st;
    const int mode = ::stat(target.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    const std::string aside = unusedName(target + ".damaged");
    if (std::rename(target.c_str(), aside.c_str()) != 0) {
        m_readFailure = m_path + " is damaged (" + why + ") and cannot be moved aside (" + std::strerror(errno) + ")";
        StandardError::line("registry: the settings file " + m_path + " is damaged (" + why +
                            ") and cannot be moved aside (" + std::strerror(errno) +
                            "); the settings start empty and are not saved\n");
        return ReadResult::Unreadable;
    }
    StandardError::line("registry: the settings file " + m_path + " is damaged (" + why + "); it is kept as " + aside +
                        " and the settings start empty\n");
    m_setAsideMode = mode;
    return ReadResult::SetAside;
}

bool RegistryFile::load(std::shared_ptr<RegistryKey>& root)
{
    // Without a folder there is no file, nor a copy writing one. A lock
    // another program keeps does not keep the file from being read: a
    // write replaces it whole.
    RegistryFileLock lock(linkTarget(m_path), lockWait());
    m_lockHeldElsewhere = lock.isHeldElsewhere();
    return read(root) != ReadResult::Unreadable;
}

std::chrono::milliseconds RegistryFile::lockWait() const
{
    // A program that held the lock through a whole wait (a copy stopped in
    // its save) is taken to hold it still: until the lock is had again, it
    // is waited for only as long as a copy's save holds it, so that the
    // saves that follow (the close's) are not each held up as long.
    return m_lockHeldElsewhere ? kLockWaitAfterHeld : RegistryFileLock::kWait;
}

void RegistryFile::writeFailed(const std::string& what, int error)
{
    m_writeFailure = error != 0 ? what + " (" + std::strerror(error) + ")" : what;
    OutputDebugStringA(("registry: " + m_writeFailure + "; the settings are not saved\n").c_str());
}

std::unique_ptr<RegistryFileLock> RegistryFile::lock()
{
    size_t slash = m_path.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : m_path.substr(0, slash);
    if (!makeFolders(folder)) {
        writeFailed("the folder " + folder + " cannot be made", errno);
        return nullptr;
    }
    // One lock for one file, whether a copy reaches it through a link or
    // by its own name: the lock file lies beside the file a write replaces.
    const std::string target = linkTarget(m_path);
    auto held = std::make_unique<RegistryFileLock>(target, lockWait());
    if (!held->isOpen()) {
        writeFailed("the lock file " + target + ".lock cannot be opened", errno);
        return nullptr;
    }
    m_lockHeldElsewhere = held->isHeldElsewhere();
    if (m_lockHeldElsewhere) {
        writeFailed("another program holds the settings' lock file " + target + ".lock", 0);
        return nullptr;
    }
    return held;
}

bool RegistryFile::merge(RegistryKey& root, const std::function<void(RegistryKey&)>& replay)
{
    std::shared_ptr<RegistryKey> current;
    switch (read(current)) {
    case ReadResult::Read:
        // The changes go onto the file's tree first, so that the keys this
        // copy made are matched by the tree taken over and stay the same.
        replay(*current);
        root.takeContentOf(*current);
        return true;
    case ReadResult::Unreadable:
        return false;
    case ReadResult::Missing:
    case ReadResult::SetAside:
        // Nothing to take in: the registry in memory is written as it is.
        return true;
    }
    return false;
}

RegistryFile::WriteResult RegistryFile::save(RegistryKey& root, const std::function<void(RegistryKey&)>& replay)
{
    std::unique_ptr<RegistryFileLock> held = lock();
    if (!held)
        return WriteResult::Failed;
    if (!merge(root, replay)) {
        writeFailed(m_path + " cannot be read again before it is written", 0);
        return WriteResult::Failed;
    }
    return write(root);
}

RegistryFile::WriteResult RegistryFile::write(RegistryKey& root)
{
    const std::string text = serialize(root);
    if (text.size() > kMaxFileSize) {
        // The caller tells the player what was not saved, as of any failed
        // write.
        OutputDebugStringA("registry: the settings would be larger than a settings file may be; the changes not "
                           "saved yet are dropped\n");
        // The registry in memory is again what the file holds (nothing when
        // there is none).
        std::shared_ptr<RegistryKey> held;
        if (read(held) != ReadResult::Unreadable)
            root.takeContentOf(*held);
        return WriteResult::Refused;
    }
    // The temporary file lies beside the file it replaces, so that the
    // rename stays within one file system.
    const std::string target = linkTarget(m_path);
    removeLeftoverTemporaries(target);

    // A name of its own for every write, so that no two writers (nor a
    // writer and one killed halfway) ever share a temporary file.
    static std::atomic<unsigned> writes{0};
    std::string temp = target + kTemporaryMark + std::to_string(::getpid()) + "." + std::to_string(++writes);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        writeFailed(temp + " cannot be written", errno);
        return WriteResult::Failed;
    }
    // The file keeps the permissions it was given, also when it was set
    // aside as damaged.
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    else if (m_setAsideMode >= 0)
        ::fchmod(fd, mode_t(m_setAsideMode));
    bool ok = writeAll(fd, text) && ::fsync(fd) == 0;
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
        savedErrno = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        writeFailed(target + " cannot be written", savedErrno);
        return WriteResult::Failed;
    }
    // Make the rename itself durable.
    syncFolderOf(target);
    return WriteResult::Written;
}

std::string RegistryFile::keepBeside(const std::string& suffix, const std::string& bytes, std::string& error) const
{
    const std::string target = linkTarget(m_path);
    // The copy may be read by whoever may read the settings, and written
    // by whoever may write them.
    struct stat st;
    const mode_t mode = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? (st.st_mode & 0666) : 0600;
    int fd = -1;
    std::string kept;
    // Another copy of the game may take a name between the look and the open.
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        kept = unusedName(target + "." + suffix);
        fd = ::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return std::string();
    }
    ::fchmod(fd, mode);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(kept.c_str());
        error = std::strerror(savedErrno);
        return std::string();
    }
    syncFolderOf(kept);
    return kept;
}

} // namespace platform
