// User.cpp: the registry-backed settings store and its high-score table.
#include "sprites/settings/User.h"

#include "core/lang/Integer.h"
#include "core/lang/System.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/registry/RegistryFile.h"
#include "sprites/settings/ScoreObject.h"

#include <cstring>
#include <string>
#include <vector>

namespace sprite {

namespace {

// The registry's read buffers: a number fits 20 bytes, a text 1023.
const DWORD kIntBuffer = 20;
const DWORD kStringBuffer = 1023;
// One value of a chunked block holds at most this many bytes.
const int kChunkSize = 4096;
// The scores kept and saved per mode.
const int kScoresPerMode = 10;
// What the credits become when asked for while at 0, or reset.
const int kDefaultCredits = 500000;
// Sub-key names are at most 255 characters.
const DWORD kKeyNameBuffer = 256;
// The listing's name buffer, 1023 characters and the NUL.
const DWORD kListBuffer = 1024;

const char* const kScoreValueNames[] = {"SCORENAME", "SCOREMODE", "SCORE", "LEVEL", "SCORESETTING"};

} // namespace

int User::s_nNonAscentDescent = 2;

User::User() : m_hRootKey(nullptr), m_nStoredScores(0), m_nCredits(0)
{
    m_scores.setStringKeys(true);
}

User::~User()
{
    if (m_nCredits != 0)
        setInt("CREDITS", m_nCredits);
    if (m_hRootKey)
        RegCloseKey(m_hRootKey);
}

void User::open(const lang::String& name)
{
    lang::String path("Software\\Harbinvel\\");
    path += name;
    if (m_hRootKey) {
        RegCloseKey(m_hRootKey);
        m_hRootKey = nullptr;
    }
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &m_hRootKey) != ERROR_SUCCESS &&
        RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &m_hRootKey) != ERROR_SUCCESS)
        m_hRootKey = nullptr;

    m_nCredits = getInt("CREDITS", 0);
    loadScores();
    lang::String face = getString("fontName", "");
    if (!face.isEmpty())
        lang::System::setDefaultFontName(face);
    s_nNonAscentDescent = getInt("nonAscentDescent", 2);
}

HKEY User::openSubkey(const lang::String& name, bool create, lang::String& valueName)
{
    int slash = name.lastIndexOf('\\');
    if (slash < 0) {
        valueName = name;
        return m_hRootKey;
    }
    valueName = name.substring(slash + 1);
    lang::String path = name.substring(0, slash);
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_hRootKey, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS)
        return key;
    // Reads and deletions never make keys: a missing sub-key has no values,
    // and an empty one would show up as a profile in listSubkeys.
    if (create && RegCreateKeyA(m_hRootKey, path.c_str(), &key) == ERROR_SUCCESS)
        return key;
    return nullptr;
}

void User::closeSubkey(HKEY key)
{
    if (key && key != m_hRootKey)
        RegCloseKey(key);
}

bool User::writeValue(const lang::String& name, DWORD type, const void* data, DWORD size)
{
    lang::String valueName;
    HKEY key = openSubkey(name, true, valueName);
    if (!key)
        return false;
    const bool written =
        RegSetValueExA(key, valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    closeSubkey(key);
    return written;
}

int User::getInt(const lang::String& name, int defaultValue)
{
    lang::String valueName;
    HKEY key = openSubkey(name, false, valueName);
    if (!key)
        return defaultValue;
    unsigned char buffer[kIntBuffer + 1];
    DWORD size = kIntBuffer;
    DWORD type = REG_NONE;
    LSTATUS result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, buffer, &size);
    closeSubkey(key);
    if (result != ERROR_SUCCESS)
        return defaultValue;
    if (type == REG_DWORD && size >= 4)
        return int(uint32_t(buffer[0]) | uint32_t(buffer[1]) << 8 | uint32_t(buffer[2]) << 16 |
                   uint32_t(buffer[3]) << 24);
    if (type == REG_SZ) {
        // The text ends at the data's end even when it was stored without a NUL.
        buffer[size] = 0;
        return lang::Integer::parseInt(reinterpret_cast<const char*>(buffer));
    }
    return defaultValue;
}

void User::setInt(const lang::String& name, int value)
{
    uint32_t v = uint32_t(value);
    unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    writeValue(name, REG_DWORD, bytes, 4);
}

lang::String User::getString(const lang::String& name, const lang::String& defaultValue)
{
    lang::String valueName;
    HKEY key = openSubkey(name, false, valueName);
    if (!key)
        return lang::String(defaultValue);
    char buffer[kStringBuffer];
    DWORD size = kStringBuffer;
    LSTATUS result = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    closeSubkey(key);
    if (result != ERROR_SUCCESS)
        return lang::String(defaultValue);
    // Up to the first NUL within the data: values of other types, and texts
    // stored without their NUL, are never read past their end.
    const void* nul = std::memchr(buffer, 0, size);
    int length = nul ? int(static_cast<const char*>(nul) - buffer) : int(size);
    return lang::String(buffer, 0, length);
}

void User::setString(const lang::String& name, const lang::String& text)
{
    writeValue(name, REG_SZ, text.c_str(), DWORD(text.length() + 1));
}

void User::deleteKeyTree(HKEY parent, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    // Names first, then the deletions, so the listing does not shift under us.
    std::vector<std::string> children;
    char child[kKeyNameBuffer];
    for (DWORD i = 0;; ++i) {
        DWORD length = kKeyNameBuffer;
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.push_back(child);
    }
    for (const std::string& c : children)
        deleteKeyTree(key, c.c_str());
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

void User::deleteValue(const lang::String& name)
{
    lang::String valueName;
    HKEY key = openSubkey(name, false, valueName);
    if (!key)
        return;
    if (RegDeleteValueA(key, valueName.c_str()) == ERROR_FILE_NOT_FOUND && !valueName.isEmpty())
        deleteKeyTree(key, valueName.c_str());
    closeSubkey(key);
}

void User::setBytes(const lang::String& name, const lang::ByteArray& bytes)
{
    writeValue(name, REG_BINARY, bytes.data(), DWORD(bytes.length()));
}

bool User::setBytesChunked(const lang::String& name, const lang::ByteArray& bytes)
{
    return setBlocksChunked({ChunkedBlock{name, &bytes}});
}

size_t User::maxChunkedLength()
{
    return platform::RegistryFile::kMaxValuesPerKey * size_t(kChunkSize);
}

bool User::setBlocksChunked(const std::vector<ChunkedBlock>& blocks, std::string* why)
{
    // Blocks the settings cannot hold whole are not written: the ones
    // stored before stay as they were. The caller tells the player, who
    // learns what was lost from it.
    auto notStored = [&](const std::string& reason) {
        std::string what;
        for (const ChunkedBlock& block : blocks) {
            what += what.empty() ? "" : " with ";
            what += std::string(block.name.c_str()) + " (" + std::to_string(block.bytes->length()) + " bytes)";
        }
        OutputDebugStringA(("settings: " + what + " is not stored: " + reason + "; what was saved before is kept\n")
                               .c_str());
        if (why)
            *why = reason;
        return false;
    };
    for (const ChunkedBlock& block : blocks) {
        const long chunks = (long(block.bytes->length()) + kChunkSize - 1) / kChunkSize;
        if (chunks > long(platform::RegistryFile::kMaxValuesPerKey))
            return notStored("the settings hold at most " +
                             std::to_string(platform::RegistryFile::kMaxValuesPerKey) + " pieces of " +
                             std::to_string(kChunkSize) + " bytes");
    }
    // One step from the file as it is now: the pieces another copy of the
    // game wrote are seen, and none of them is left behind these blocks.
    platform::RegistryBatch whole;
    std::vector<lang::ByteArray> before(blocks.size());
    std::vector<bool> hadBlock(blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i)
        hadBlock[i] = getBytesChunked(blocks[i].name, before[i]);
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (writeChunks(blocks[i].name, *blocks[i].bytes))
            continue;
        // Some piece could not be written: the blocks stored before come back.
        const lang::ByteArray none;
        for (size_t j = 0; j <= i; ++j)
            writeChunks(blocks[j].name, hadBlock[j] ? before[j] : none);
        return notStored("not every piece could be written");
    }
    // Outside any other batch the pieces reach the file only now.
    return whole.end() == ERROR_SUCCESS || notStored("the settings file was not written");
}

bool User::writeChunks(const lang::String& name, const lang::ByteArray& bytes)
{
    const int chunks = (bytes.length() + kChunkSize - 1) / kChunkSize;
    for (int k = 0; k < chunks; ++k) {
        int from = k * kChunkSize;
        int count = bytes.length() - from < kChunkSize ? bytes.length() - from : kChunkSize;
        lang::String chunkName(name);
        chunkName += '\\';
        chunkName += k;
        if (!writeValue(chunkName, REG_BINARY, bytes.data() + from, DWORD(count)))
            return false;
    }

    // Chunks past the new end, left by an earlier and longer block, would be
    // read back as part of this one.
    HKEY key = nullptr;
    if (RegOpenKeyExA(m_hRootKey, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return true;
    for (int k = chunks;; ++k) {
        if (RegDeleteValueA(key, std::to_string(k).c_str()) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return true;
}

bool User::getBytes(const lang::String& name, lang::ByteArray& bytes)
{
    lang::String valueName;
    HKEY key = openSubkey(name, false, valueName);
    if (!key)
        return false;
    DWORD size = 0;
    bool ok = false;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<unsigned char> data(size);
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS) {
            bytes.setLength(int(size));
            if (size)
                std::memcpy(bytes.data(), data.data(), size);
            ok = true;
        }
    }
    closeSubkey(key);
    return ok;
}

bool User::getBytesChunked(const lang::String& name, lang::ByteArray& bytes)
{
    std::vector<unsigned char> joined;
    int k = 0;
    for (;; ++k) {
        lang::String chunkName(name);
        chunkName += '\\';
        chunkName += k;
        lang::ByteArray chunk;
        if (!getBytes(chunkName, chunk))
            break;
        joined.insert(joined.end(), chunk.data(), chunk.data() + chunk.length());
    }
    if (k == 0)
        return false;
    bytes.setLength(int(joined.size()));
    if (!joined.empty())
        std::memcpy(bytes.data(), joined.data(), joined.size());
    return true;
}

void User::listSubkeys(lang::StringArray& names)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(m_hRootKey, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        count = 0;
    names.setLength(int(count));
    char name[kListBuffer];
    int found = 0;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = kListBuffer - 1;
        if (RegEnumKeyExA(m_hRootKey, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        *names.at(found++) = new lang::String(name);
    }
    if (found < int(count))
        names.setLength(found);
}

util::Vector* User::scoresOf(const lang::String& mode)
{
    lang::String key(mode);
    return static_cast<util::Vector*>(m_scores.get(&key));
}

ScoreObject* User::scoreAt(const lang::String& mode, int i)
{
    util::Vector* list = scoresOf(mode);
    if (!list || i < 0 || i >= list->size())
        return nullptr;
    return static_cast<ScoreObject*>(list->elementAt(i));
}

void User::loadScores()
{
    m_scores.clear();
    int i = 0;
    for (;; ++i) {
        int score = getInt(m_scorePrefix + "SCORE" + i, -1);
        if (score == -1)
            break;
        lang::String name = getString(m_scorePrefix + "SCORENAME" + i, "");
        lang::String mode = getString(m_scorePrefix + "SCOREMODE" + i, "");
        int setting = getInt(m_scorePrefix + "SCORESETTING" + i, 0);
        int level = getInt(m_scorePrefix + "LEVEL" + i, 0);
        util::Vector* list = scoresOf(mode);
        if (!list) {
            list = new util::Vector(kScoresPerMode);
            m_scores.put(mode, list);
            list->release();
        }
        ScoreObject* entry = new ScoreObject(name, score, level, setting);
        list->addElement(entry);
        entry->release();
    }
    m_nStoredScores = i;
}

void User::setScorePrefix(const lang::String& path)
{
    m_scorePrefix = path;
    if (!m_scorePrefix.endsWith("\\"))
        m_scorePrefix += '\\';
}

int User::addScore(const lang::String& name, const lang::String& mode, int level, int score, int setting)
{
    util::Vector* list = scoresOf(mode);
    if (!list) {
        list = new util::Vector(kScoresPerMode);
        m_scores.put(mode, list);
        list->release();
    }
    int place = -1;
    int count = list->size();
    for (int i = 0; i < count; ++i) {
        if (static_cast<ScoreObject*>(list->elementAt(i))->getScore() < score) {
            place = i;
            break;
        }
    }
    if (place < 0 && count < kScoresPerMode)
        place = count;
    if (place < 0)
        return -1;
    ScoreObject* entry = new ScoreObject(name, score, level, setting);
    list->insertElementAt(entry, place);
    entry->release();
    saveScores();
    return place;
}

int User::addScore(const lang::String& name, int level, int score, int setting)
{
    return addScore(name, "", level, score, setting);
}

void User::saveScores()
{
    int i = 0;
    util::Enumeration* modes = m_scores.keys();
    while (modes->hasMoreElements()) {
        lang::String* mode = static_cast<lang::String*>(modes->nextElement());
        util::Vector* list = scoresOf(*mode);
        int count = list ? list->size() : 0;
        for (int j = 0; j < count && j < kScoresPerMode; ++j, ++i) {
            ScoreObject* entry = static_cast<ScoreObject*>(list->elementAt(j));
            setString(m_scorePrefix + "SCORENAME" + i, entry->getName());
            setString(m_scorePrefix + "SCOREMODE" + i, *mode);
            setInt(m_scorePrefix + "SCORE" + i, entry->getScore());
            setInt(m_scorePrefix + "LEVEL" + i, entry->getLevel());
            setInt(m_scorePrefix + "SCORESETTING" + i, entry->getSetting());
        }
    }
    modes->release();
    // Indices beyond the new count would be read back as further entries.
    deleteStoredScores(i, m_nStoredScores);
    m_nStoredScores = i;
}

void User::deleteStoredScores(int from, int to)
{
    for (int i = from; i < to; ++i) {
        for (const char* name : kScoreValueNames) {
            // Only the values: a sub-key that happens to share the name stays.
            lang::String valueName;
            HKEY key = openSubkey(m_scorePrefix + name + i, false, valueName);
            if (key)
                RegDeleteValueA(key, valueName.c_str());
            closeSubkey(key);
        }
    }
}

lang::String User::getScoreName(const lang::String& mode, int i)
{
    ScoreObject* entry = scoreAt(mode, i);
    return entry ? entry->getName() : lang::String("");
}

lang::String User::getScoreName(int i)
{
    return getScoreName("", i);
}

int User::getScoreLevel(const lang::String& mode, int i)
{
    ScoreObject* entry = scoreAt(mode, i);
    return entry ? entry->getLevel() : 0;
}

int User::getScoreLevel(int i)
{
    return getScoreLevel("", i);
}

int User::getScore(const lang::String& mode, int i)
{
    ScoreObject* entry = scoreAt(mode, i);
    return entry ? entry->getScore() : -1;
}

int User::getScore(int i)
{
    return getScore("", i);
}

void User::removeScoreMode(const lang::String& mode)
{
    lang::String key(mode);
    if (!m_scores.containsKey(&key))
        return;
    m_scores.removeKey(&key);
    deleteStoredScores(0, m_nStoredScores);
    m_nStoredScores = 0;
    saveScores();
}

void User::clearScores()
{
    deleteStoredScores(0, m_nStoredScores);
    m_scores.clear();
    m_nStoredScores = 0;
}

int User::getScoreSetting(const lang::String& mode, int i)
{
    ScoreObject* entry = scoreAt(mode, i);
    return entry ? entry->getSetting() : 0;
}

int User::getCredits()
{
    return m_nCredits;
}

int User::getCreditsOrDefault()
{
    if (m_nCredits == 0)
        m_nCredits = kDefaultCredits;
    return m_nCredits;
}

int User::addCredits(int n)
{
    // Wraps like the 32-bit count it is stored as, never undefined.
    m_nCredits = int(uint32_t(m_nCredits) + uint32_t(n));
    return m_nCredits;
}

int User::subtractCredits(int n)
{
    m_nCredits = int(uint32_t(m_nCredits) - uint32_t(n));
    return m_nCredits;
}

void User::resetCredits()
{
    m_nCredits = kDefaultCredits;
}

int User::queryFlag(int)
{
    return 0;
}

} // namespace sprite
