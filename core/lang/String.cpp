// String.cpp: the 8-bit text type.
#include "core/lang/String.h"

#include "core/lang/Integer.h"
#include "core/lang/ResourceFile.h"
#include "core/lang/Synchronized.h"
#include "platform/kernel/AnsiText.h"
#include "platform/kernel/CRuntime.h"
#include "platform/files/Text.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace lang {
namespace {

// Serialises every allocation of a String buffer. Never destroyed, so Strings
// released by static destructors can still allocate.
Object* stringLock()
{
    static Object* lock = new Object();
    return lock;
}

// The capacity for a text of n bytes: the smallest multiple of 16 above n.
// Below 65,520 this is the 16-bit rule (n + 16) AND 0xFFF0; above it the
// capacity keeps growing in 32 bits instead of wrapping to a too-small size.
int capacityFor(int n)
{
    return (n + 16) & ~15;
}

// A requested minimum capacity, rounded up to a multiple of 16.
int roundCapacity(int m)
{
    return (m + 15) & ~15;
}

char* allocate(int capacity)
{
    Synchronized guard(stringLock());
    return static_cast<char*>(std::malloc(size_t(capacity)));
}

int textLength(const char* s)
{
    return s ? int(std::strlen(s)) : 0;
}

// The decimal text of v into buf (at least 12 bytes); returns its length.
int formatInt(int v, char* buf)
{
    char digits[12];
    int n = 0;
    uint32_t magnitude = v < 0 ? 0u - uint32_t(v) : uint32_t(v);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int len = 0;
    if (v < 0)
        buf[len++] = '-';
    while (n > 0)
        buf[len++] = digits[--n];
    buf[len] = '\0';
    return len;
}

} // namespace

String::String() : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(0) {}

String::String(const String& other) : Object(), m_pBuffer(nullptr), m_nCapacity(0), m_nLength(other.m_nLength)
{
    m_nCapacity = capacityFor(m_nLength);
    m_pBuffer = allocate(m_nCapacity);
    std::memcpy(m_pBuffer, other.c_str(), size_t(m_nLength) + 1);
}

String::String(const char* text, bool borrow) : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(0)
{
    if (!text)
        return;
    m_nLength = textLength(text);
    if (borrow) {
        m_pBuffer = const_cast<char*>(text);
        return;
    }
    m_nCapacity = capacityFor(m_nLength);
    m_pBuffer = allocate(m_nCapacity);
    std::memcpy(m_pBuffer, text, size_t(m_nLength) + 1);
}

String::String(const char* text, int minCapacity) : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(textLength(text))
{
    int rule = capacityFor(m_nLength);
    int wanted = roundCapacity(minCapacity);
    m_nCapacity = wanted > rule ? wanted : rule;
    m_pBuffer = allocate(m_nCapacity);
    std::memcpy(m_pBuffer, text ? text : "", size_t(m_nLength) + 1);
}

String::String(const String& other, int minCapacity) : String(other.c_str(), minCapacity) {}

String::String(const char* buffer, int from, int to) : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(0)
{
    // A negative start counts from 0 and a reversed range is empty: the
    // buffer's own length is unknown here, so nothing else is clamped.
    if (from < 0)
        from = 0;
    int n = (buffer && to > from) ? to - from : 0;
    m_nLength = n;
    m_nCapacity = capacityFor(n);
    m_pBuffer = allocate(m_nCapacity);
    if (n > 0)
        std::memcpy(m_pBuffer, buffer + from, size_t(n));
    m_pBuffer[n] = '\0';
}

String::String(char c, int minCapacity) : m_pBuffer(nullptr), m_nCapacity(16), m_nLength(1)
{
    int wanted = roundCapacity(minCapacity);
    if (wanted > m_nCapacity)
        m_nCapacity = wanted;
    m_pBuffer = allocate(m_nCapacity);
    m_pBuffer[0] = c;
    m_pBuffer[1] = '\0';
}

String::String(double value) : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(0)
{
    char text[32];
    crtGcvt(value, 9, text);
    assign(text, textLength(text));
}

String::String(int value) : m_pBuffer(nullptr), m_nCapacity(0), m_nLength(0)
{
    *this = value;
}

String::~String()
{
    if (m_nCapacity > 0)
        std::free(m_pBuffer);
}

void String::assign(const char* text, int length)
{
    if (m_pBuffer && m_nCapacity >= length + 1) {
        std::memmove(m_pBuffer, text, size_t(length));
    } else {
        int capacity = capacityFor(length);
        char* fresh = allocate(capacity);
        std::memcpy(fresh, text, size_t(length));
        if (m_nCapacity > 0) {
            Synchronized guard(stringLock());
            std::free(m_pBuffer);
        }
        m_pBuffer = fresh;
        m_nCapacity = capacity;
    }
    m_pBuffer[length] = '\0';
    m_nLength = length;
}

String& String::operator=(const String& other)
{
    if (this != &other)
        assign(other.c_str(), other.m_nLength);
    return *this;
}

String& String::operator=(const char* text)
{
    if (!text) {
        if (m_pBuffer && m_nCapacity > 0) {
            m_pBuffer[0] = '\0';
        } else if (m_pBuffer) {
            // A borrowed buffer is never written: the String borrows an empty
            // text instead (no String writes into a zero-capacity buffer).
            static char emptyText[1] = {'\0'};
            m_pBuffer = emptyText;
        }
        m_nLength = 0;
        return *this;
    }
    assign(text, textLength(text));
    return *this;
}

String& String::operator=(char c)
{
    char text[2] = {c, '\0'};
    assign(text, 1);
    return *this;
}

String& String::operator=(int value)
{
    char text[12];
    assign(text, formatInt(value, text));
    return *this;
}

void String::ensureCapacity(int n)
{
    if (n < m_nLength + 1)
        n = m_nLength + 1;
    Synchronized guard(stringLock());
    int capacity = roundCapacity(n);
    char* fresh = static_cast<char*>(std::malloc(size_t(capacity)));
    if (m_pBuffer)
        std::memcpy(fresh, m_pBuffer, size_t(m_nLength) + 1);
    else
        fresh[0] = '\0';
    if (m_nCapacity > 0)
        std::free(m_pBuffer);
    m_pBuffer = fresh;
    m_nCapacity = capacity;
}

void String::appendBytes(const char* text, int length)
{
    int n = m_nLength + length;
    if (m_nCapacity <= n) {
        // The text may live in our own buffer: keep it alive across the move.
        bool inside = m_pBuffer && text >= m_pBuffer && text < m_pBuffer + m_nLength + 1;
        int offset = inside ? int(text - m_pBuffer) : 0;
        ensureCapacity(n + 1);
        if (inside)
            text = m_pBuffer + offset;
    }
    std::memmove(m_pBuffer + m_nLength, text, size_t(length));
    m_pBuffer[n] = '\0';
    m_nLength = n;
}

String& String::append(char c)
{
    appendBytes(&c, 1);
    return *this;
}

String& String::append(const String& s)
{
    if (s.m_nLength > 0)
        appendBytes(s.m_pBuffer, s.m_nLength);
    return *this;
}

String& String::append(const char* s)
{
    if (s)
        appendBytes(s, textLength(s));
    return *this;
}

String& String::append(int value)
{
    char text[12];
    appendBytes(text, formatInt(value, text));
    return *this;
}

String String::concat(const char* s) const
{
    String result(*this, m_nLength + textLength(s) + 1);
    result.append(s);
    return result;
}

String operator+(const String& a, const String& b)
{
    String result(a, a.length() + b.length() + 1);
    result.append(b);
    return result;
}

String operator+(const String& a, int value)
{
    String result(a, a.length() + 10);
    result.append(value);
    return result;
}

int String::hashCode()
{
    // Each byte, sign-extended, is ORed in at shifts 0, 8, 16, 24, 0, 8, ...
    uint32_t h = 0;
    int shift = 0;
    for (int i = 0; i < m_nLength; ++i) {
        h |= uint32_t(int32_t(static_cast<signed char>(m_pBuffer[i]))) << shift;
        shift = (shift + 8) & 31;
    }
    return int32_t(h);
}

bool String::equals(Object* other)
{
    return other != nullptr && other->isInstanceOf("String") && equals(*static_cast<String*>(other));
}

String String::toString()
{
    return String(*this);
}

bool String::equals(const String& other) const
{
    return lstrcmpA(c_str(), other.c_str()) == 0;
}

bool String::equals(const char* text) const
{
    return lstrcmpA(c_str(), text) == 0;
}

bool String::equalsIgnoreCase(const String& other) const
{
    return lstrcmpiA(c_str(), other.c_str()) == 0;
}

bool String::equalsIgnoreCase(const char* text) const
{
    return lstrcmpiA(c_str(), text) == 0;
}

int String::compareToIgnoreCase(const String& other) const
{
    return lstrcmpiA(c_str(), other.c_str());
}

bool String::startsWith(const char* prefix) const
{
    if (!prefix)
        return true;
    const char* text = c_str();
    for (int i = 0; prefix[i] != '\0'; ++i) {
        if (i >= m_nLength || text[i] != prefix[i])
            return false;
    }
    return true;
}

bool String::startsWith(const String& prefix) const
{
    return startsWith(prefix.c_str());
}

bool String::endsWith(const char* suffix) const
{
    int n = textLength(suffix);
    if (n > m_nLength)
        return false;
    return std::memcmp(c_str() + m_nLength - n, suffix ? suffix : "", size_t(n)) == 0;
}

int String::indexOf(char c, int from) const
{
    if (from < 0)
        from = 0;
    for (int i = from; i < m_nLength; ++i)
        if (m_pBuffer[i] == c)
            return i;
    return -1;
}

int String::indexOf(const char* needle, int from) const
{
    int n = textLength(needle);
    if (n == 0)
        return 0;
    if (from < 0)
        from = 0;
    for (int i = from; i <= m_nLength - n; ++i)
        if (std::memcmp(m_pBuffer + i, needle, size_t(n)) == 0)
            return i;
    return -1;
}

int String::indexOf(const String& needle, int from) const
{
    return indexOf(needle.c_str(), from);
}

int String::lastIndexOf(char c) const
{
    for (int i = m_nLength - 1; i >= 0; --i)
        if (m_pBuffer[i] == c)
            return i;
    return -1;
}

String String::substring(int from) const
{
    return substring(from, m_nLength);
}

String String::substring(int from, int to) const
{
    // Indices are clamped to the text; a reversed range gives "".
    if (from < 0)
        from = 0;
    if (from > m_nLength)
        from = m_nLength;
    if (to > m_nLength)
        to = m_nLength;
    if (to < from)
        to = from;
    return String(c_str(), from, to);
}

String String::right(int n) const
{
    if (n >= m_nLength)
        return String(*this);
    if (n < 0)
        n = 0;
    return String(c_str(), m_nLength - n, m_nLength);
}

String String::toLowerCase() const
{
    String copy(*this);
    CharLowerA(copy.m_pBuffer);
    return copy;
}

String String::toUpperCase() const
{
    String copy(*this);
    CharUpperA(copy.m_pBuffer);
    return copy;
}

String String::trim() const
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(c_str());
    int start = 0;
    int end = m_nLength;
    while (start < end && text[start] <= 32)
        ++start;
    while (end > start && text[end - 1] <= 32)
        --end;
    return String(c_str(), start, end);
}

void String::setCharAt(int i, char c)
{
    if (i >= 0 && i < m_nLength)
        m_pBuffer[i] = c;
}

void String::setLength(int n)
{
    if (n >= 0 && n < m_nLength) {
        m_pBuffer[n] = '\0';
        m_nLength = n;
    }
}

void String::replaceAll(const String& pattern, const String& replacement)
{
    if (pattern.isEmpty())
        return;
    int at = indexOf(pattern, 0);
    if (at < 0)
        return;
    String result(static_cast<const char*>(nullptr), m_nLength);
    int from = 0;
    while (at >= 0) {
        result.appendBytes(m_pBuffer + from, at - from);
        result.append(replacement);
        from = at + pattern.m_nLength;
        at = indexOf(pattern, from);
    }
    result.appendBytes(m_pBuffer + from, m_nLength - from);
    *this = result;
}

int String::toInt() const
{
    return m_pBuffer ? Integer::parseInt(m_pBuffer) : 0;
}

bool String::isNameChar(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
           c == '.' || (c >= 192 && c <= 255);
}

} // namespace lang

namespace lang {

String String::loadText(const char* key)
{
    ResourceFile* archive = ResourceFile::getCurrent();
    if (!archive)
        return String("");
    ResourceItem* item = archive->getItem(String(key, true), true);
    if (!item)
        return String("");

    // Exactly the item's bytes, without the one terminating NUL text items end with.
    const char* data = reinterpret_cast<const char*>(item->getData());
    int size = item->getSize();
    if (size > 0 && data[size - 1] == '\0')
        --size;
    bool plain = true;
    for (int i = 0; i < size && plain; ++i)
        plain = static_cast<unsigned char>(data[i]) < 0x80;

    String result;
    if (plain) {
        result = String(data, 0, size);
    } else {
        // UTF-8 to UTF-16 to the ANSI code page; characters it lacks become '.'.
        int units = MultiByteToWideChar(CP_UTF8, 0, data, size, nullptr, 0);
        std::vector<WCHAR> wide(size_t(units) + 1);
        MultiByteToWideChar(CP_UTF8, 0, data, size, wide.data(), units);
        std::vector<char> ansi(size_t(units) + 1);
        int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, ansi.data(), units, ".", nullptr);
        result = String(ansi.data(), 0, bytes);
    }
    item->release();
    return result;
}

} // namespace lang
