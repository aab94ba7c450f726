// Hashtable.cpp: the chained hash table and its key snapshot.
#include "core/util/Hashtable.h"

#include "core/lang/String.h"
#include "core/lang/Synchronized.h"


namespace util {

using lang::Object;
using lang::String;
using lang::Synchronized;

namespace {
const int kInitialBuckets = 100;
}

Hashtable::HTEnum::HTEnum(int total) : m_nTotal(total), m_nNext(0), m_pElements(nullptr)
{
    if (m_nTotal > 0)
        m_pElements = new Object*[size_t(m_nTotal)]();
}

Hashtable::HTEnum::~HTEnum()
{
    for (int i = 0; i < m_nTotal; ++i) {
        if (m_pElements[i])
            m_pElements[i]->release();
    }
    delete[] m_pElements;
}

bool Hashtable::HTEnum::hasMoreElements()
{
    return m_nNext < m_nTotal;
}

Object* Hashtable::HTEnum::nextElement()
{
    if (m_nNext >= m_nTotal)
        return nullptr;
    return m_pElements[m_nNext++];
}

Hashtable::Hashtable()
    : m_nBucketCount(kInitialBuckets), m_pBuckets(new Node*[kInitialBuckets]()), m_nCount(0), m_bStringKeys(false)
{
}

Hashtable::~Hashtable()
{
    clear();
    delete[] m_pBuckets;
}

void Hashtable::setStringKeys(bool on)
{
    Synchronized guard(this, true);
    m_bStringKeys = on;
}

// The key's hash modulo the bucket count, the remainder made positive.
int Hashtable::bucketOf(Object* key) const
{
    int index = key->hashCode() % m_nBucketCount;
    return index < 0 ? -index : index;
}

bool Hashtable::matches(Object* query, Object* stored) const
{
    if (m_bStringKeys)
        return static_cast<String*>(query)->equals(*static_cast<String*>(stored));
    return query->equals(stored);
}

void Hashtable::put(Object* key, Object* value)
{
    if (!key || !value)
        return;
    Synchronized guard(this, true);
    int b = bucketOf(key);
    key->addRef();
    value->addRef();
    m_pBuckets[b] = new Node{key, value, m_pBuckets[b]};
    ++m_nCount;
    if (m_nCount * 2 > m_nBucketCount)
        rehash();
}

void Hashtable::put(const String& key, Object* value)
{
    String* copy = new String(key);
    put(copy, value);
    copy->release();
}

void Hashtable::put(const char* key, Object* value)
{
    if (!key)
        return;
    String* copy = new String(key);
    put(copy, value);
    copy->release();
}

// Four times as many buckets as entries. Every node is relinked at the head of
// its new bucket, each old chain taken from its tail to its head, so that
// entries with equal keys (which always share a chain) keep their order and
// the newest still shadows the older ones.
void Hashtable::rehash()
{
    int newCount = m_nCount * 4;
    Node** newBuckets = new Node*[size_t(newCount)]();
    Node** oldBuckets = m_pBuckets;
    int oldCount = m_nBucketCount;
    m_pBuckets = newBuckets;
    m_nBucketCount = newCount;
    for (int i = 0; i < oldCount; ++i) {
        // Reverse the chain, then push its nodes from the (old) tail onwards.
        Node* reversed = nullptr;
        for (Node* n = oldBuckets[i]; n;) {
            Node* next = n->next;
            n->next = reversed;
            reversed = n;
            n = next;
        }
        while (reversed) {
            Node* next = reversed->next;
            int b = bucketOf(reversed->key);
            reversed->next = m_pBuckets[b];
            m_pBuckets[b] = reversed;
            reversed = next;
        }
    }
    delete[] oldBuckets;
}

Object* Hashtable::get(Object* key)
{
    if (!key)
        return nullptr;
    Synchronized guard(this, true);
    for (Node* n = m_pBuckets[bucketOf(key)]; n; n = n->next) {
        if (matches(key, n->key))
            return n->value;
    }
    return nullptr;
}

bool Hashtable::containsKey(Object* key)
{
    if (!key)
        return false;
    Synchronized guard(this, true);
    for (Node* n = m_pBuckets[bucketOf(key)]; n; n = n->next) {
        if (matches(key, n->key))
            return true;
    }
    return false;
}

Object* Hashtable::removeKey(Object* key)
{
    if (!key)
        return nullptr;
    Synchronized guard(this, true);
    for (Node** link = &m_pBuckets[bucketOf(key)]; *link; link = &(*link)->next) {
        Node* n = *link;
        if (key->equals(n->key)) {
            *link = n->next;
            --m_nCount;
            Object* value = n->value;
            n->key->release();
            value->release();
            delete n;
            return value;
        }
    }
    return nullptr;
}

void Hashtable::clear()
{
    Synchronized guard(this, true);
    // Detach every chain first, so that a key or value whose destructor uses
    // this table finds it empty and consistent.
    Node* all = nullptr;
    for (int i = 0; i < m_nBucketCount; ++i) {
        Node* n = m_pBuckets[i];
        m_pBuckets[i] = nullptr;
        while (n) {
            Node* next = n->next;
            n->next = all;
            all = n;
            n = next;
        }
    }
    m_nCount = 0;
    while (all) {
        Node* next = all->next;
        all->key->release();
        all->value->release();
        delete all;
        all = next;
    }
}

Enumeration* Hashtable::keys()
{
    Synchronized guard(this, true);
    HTEnum* e = new HTEnum(m_nCount);
    int k = 0;
    for (int i = 0; i < m_nBucketCount; ++i) {
        for (Node* n = m_pBuckets[i]; n; n = n->next) {
            n->key->addRef();
            e->m_pElements[k++] = n->key;
        }
    }
    return e;
}

int Hashtable::size()
{
    Synchronized guard(this, true);
    return m_nCount;
}

int Hashtable::getBucketCount()
{
    Synchronized guard(this, true);
    return m_nBucketCount;
}

} // namespace util
