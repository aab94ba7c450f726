// User.h: the settings store: the game's settings, player profiles, high
// scores and a credits count, kept in the current user's registry under
// Software\Harbinvel\<name>.
#pragma once

#include "core/lang/ByteArray.h"
#include "core/lang/Object.h"
#include "core/lang/String.h"
#include "core/lang/StringArray.h"
#include "core/util/Hashtable.h"
#include "core/util/Vector.h"
#include "platform/registry/Registry.h"

#include <vector>

namespace sprite {

class ScoreObject;

// Every value name may carry a sub-key path: the part before its last '\'
// names a sub-key of the store's key (made when a value is written there),
// the part after is the value name. Registry failures are not reported:
// reads give their defaults, failed writes are dropped.
class User : public lang::Object {
public:
    User();
    // Writes "CREDITS" when the count is not 0, then closes the key.
    ~User() override;

    HV_CLASS_NAME("User", lang::Object)

    // Opens (or creates) Software\Harbinvel\<name> and reads the credits, the
    // score table, "fontName" (a non-empty face becomes the program's default
    // font) and "nonAscentDescent". A key open before is closed first.
    virtual void open(const lang::String& name);
    // A DWORD value, or a text value read as a decimal number; the default for
    // any other type, a missing value or one longer than 20 bytes.
    virtual int getInt(const lang::String& name, int defaultValue);
    virtual void setInt(const lang::String& name, int value);
    // The value's bytes as text up to its first NUL (any type, at most 1023
    // bytes), else a copy of the default.
    virtual lang::String getString(const lang::String& name, const lang::String& defaultValue);
    // A REG_SZ with its terminating NUL.
    virtual void setString(const lang::String& name, const lang::String& text);
    // Deletes the value; when there is no such value, deletes the sub-key of
    // that name with everything under it. An empty value name never deletes a
    // key (it would take every profile with it).
    virtual void deleteValue(const lang::String& name);
    virtual void setBytes(const lang::String& name, const lang::ByteArray& bytes);
    // The bytes in values "0", "1", ... of a sub-key named like the block,
    // 4096 bytes each, written as one step from the settings file as it is
    // (another copy of the game may have written it). Values of higher
    // number left by an earlier, longer block are deleted, so the block reads
    // back exactly as written. A block the settings cannot hold whole (more
    // pieces than a key may hold, a piece refused, or a file that would be
    // too large) is not written, with one line in the debug output: the
    // block stored before stays. Whether it was written (inside the caller's
    // batch: whether it waits for that batch's write).
    virtual bool setBytesChunked(const lang::String& name, const lang::ByteArray& bytes);
    // The longest block setBytesChunked stores (as many pieces as a key holds).
    static size_t maxChunkedLength();
    // A block for setBlocksChunked: its name and its bytes (borrowed).
    struct ChunkedBlock {
        lang::String name;
        const lang::ByteArray* bytes;
    };
    // Several blocks written as setBytesChunked writes one, in one step: all
    // of them, or none, and then the blocks stored before stay together;
    // `why`, when given, then gets the reason ("the settings hold at most
    // 1024 pieces of 4096 bytes"), for the caller to tell the player.
    virtual bool setBlocksChunked(const std::vector<ChunkedBlock>& blocks, std::string* why = nullptr);
    // Sizes the array to the value (any type) and reads it; false, with the
    // array untouched, when the value is missing.
    virtual bool getBytes(const lang::String& name, lang::ByteArray& bytes);
    // The array becomes the chunks 0, 1, 2 ... joined, up to the first missing
    // one; false, with the array untouched, when chunk 0 is missing.
    virtual bool getBytesChunked(const lang::String& name, lang::ByteArray& bytes);
    // Sizes the array to the number of sub-keys of the store's key and fills
    // it with their names as new Strings, which the caller releases.
    virtual void listSubkeys(lang::StringArray& names);
    // Reads the score table anew from the indexed score values.
    virtual void loadScores();
    // The sub-key path put before every score value name ('\' is appended
    // when it does not end with one).
    virtual void setScorePrefix(const lang::String& path);
    // Enters a score in its mode's list, best first, at most 10 kept; saves
    // the table. The entry's 0-based place, or -1 when it was not entered.
    virtual int addScore(const lang::String& name, const lang::String& mode, int level, int score, int setting);
    virtual int addScore(const lang::String& name, int level, int score, int setting);
    // Entry i of a mode: its name ("" when none), level (0), score (-1).
    virtual lang::String getScoreName(const lang::String& mode, int i);
    virtual lang::String getScoreName(int i);
    virtual int getScoreLevel(const lang::String& mode, int i);
    virtual int getScoreLevel(int i);
    virtual int getScore(const lang::String& mode, int i);
    virtual int getScore(int i);
    // Drops a mode and stores the remaining table.
    virtual void removeScoreMode(const lang::String& mode);
    // Deletes every stored score value and empties the table.
    virtual void clearScores();
    virtual int getScoreSetting(const lang::String& mode, int i);
    virtual int getCredits();
    // The credits, made 500000 first when they are 0.
    virtual int getCreditsOrDefault();
    virtual int addCredits(int n);
    virtual int subtractCredits(int n);
    virtual void resetCredits();
    virtual int queryFlag(int arg);

    // The "nonAscentDescent" setting read by the last open (2 by default);
    // kept for the fonts, which do not use it.
    static int getNonAscentDescent() { return s_nNonAscentDescent; }

private:
    // The key holding a value name's value: the store's key, or its sub-key
    // named by the path part (opened, or made when `create`); null when there
    // is none. `valueName` receives the part after the last '\'.
    HKEY openSubkey(const lang::String& name, bool create, lang::String& valueName);
    // Closes a key that openSubkey opened (never the store's own key).
    void closeSubkey(HKEY key);
    // Whether the value was written.
    bool writeValue(const lang::String& name, DWORD type, const void* data, DWORD size);
    // The pieces of a block and the removal of older ones past its end;
    // false at the first piece that cannot be written.
    bool writeChunks(const lang::String& name, const lang::ByteArray& bytes);
    // Deletes a sub-key and everything under it.
    static void deleteKeyTree(HKEY parent, const char* name);
    // The list of a mode (borrowed), or null.
    util::Vector* scoresOf(const lang::String& mode);
    ScoreObject* scoreAt(const lang::String& mode, int i);
    void saveScores();
    // Deletes the five values of stored score indices from..to-1.
    void deleteStoredScores(int from, int to);

    HKEY m_hRootKey;
    util::Hashtable m_scores;
    lang::String m_scorePrefix;
    int m_nStoredScores;
    int m_nCredits;

    static int s_nNonAscentDescent;
};

} // namespace sprite
