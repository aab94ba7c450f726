// Hashtable.h: a map from objects to objects with chained buckets. The table
// holds a reference on every key and value. A new entry goes in front of any
// older entry with an equal key and shadows it until it is removed. In
// String-key mode, lookups compare String keys by their text. Every operation
// runs under the table's own monitor.
#pragma once

#include "core/lang/Object.h"
#include "core/util/Enumeration.h"

namespace lang {
class String;
}

namespace util {

class Hashtable : public lang::Object {
public:
    // The snapshot enumeration that keys() returns: it holds a reference on
    // every key it lists, so it outlives changes to the table.
    class HTEnum : public Enumeration {
    public:
        HTEnum(int total);
        ~HTEnum() override;
        bool hasMoreElements() override;
        // The next key (borrowed), or null past the end.
        lang::Object* nextElement() override;

    private:
        friend class Hashtable;
        int m_nTotal;
        int m_nNext;
        lang::Object** m_pElements;
    };

    Hashtable();
    ~Hashtable() override;

    // Selects whether get and containsKey compare keys as String texts; in that
    // mode every key stored and every key asked for must be a String.
    void setStringKeys(bool on);
    // Adds an entry; key and value must not be null (such a call is ignored).
    void put(lang::Object* key, lang::Object* value);
    // Adds an entry under a new String copy of the key.
    void put(const lang::String& key, lang::Object* value);
    void put(const char* key, lang::Object* value);
    // The value of the first matching entry (borrowed), or null.
    lang::Object* get(lang::Object* key);
    bool containsKey(lang::Object* key);
    // Unlinks the first entry whose key the query equals and releases its key
    // and value. Returns the value pointer, which the table no longer
    // references (it may already be destroyed), or null when nothing matched.
    lang::Object* removeKey(lang::Object* key);
    lang::Object* remove(lang::Object* key) { return removeKey(key); }
    // Releases every entry; the bucket count stays.
    void clear();
    // A new snapshot of all keys, owned by the caller.
    Enumeration* keys();
    // The number of entries, shadowed ones included.
    int size();
    // The number of buckets (for tests and diagnostics).
    int getBucketCount();

    HV_CLASS_NAME("Hashtable", lang::Object)

private:
    struct Node {
        lang::Object* key;
        lang::Object* value;
        Node* next;
    };

    int bucketOf(lang::Object* key) const;
    bool matches(lang::Object* query, lang::Object* stored) const;
    void rehash();

    int m_nBucketCount;
    Node** m_pBuckets;
    int m_nCount;
    bool m_bStringKeys;
};

} // namespace util
