// String.h: the one text type: a mutable, NUL-terminated 8-bit text in the
// ANSI code page (Windows-1252) with a length and a capacity. A capacity of 0
// with a buffer means the buffer is borrowed from the caller: never freed and
// never reused for a longer text. No buffer at all is the null string.
#pragma once

#include "core/lang/Object.h"

namespace lang {

class String : public Object {
public:
    String();
    String(const String& other);
    String(const char* text, bool borrow = false);
    String(const char* text, int minCapacity);
    String(const String& other, int minCapacity);
    // The bytes of buffer from index `from` up to but not including `to`.
    String(const char* buffer, int from, int to);
    String(char c, int minCapacity);
    // Nine significant digits in the Windows runtime's "%g"-like form: "3.", "0.5", "5.e-002".
    explicit String(double value);
    explicit String(int value);
    ~String() override;

    const char* c_str() const { return m_pBuffer ? m_pBuffer : ""; }
    int length() const { return m_nLength; }
    int capacity() const { return m_nCapacity; }
    bool hasData() const { return m_pBuffer != nullptr; }
    bool isEmpty() const { return m_pBuffer == nullptr || m_nLength == 0; }

    String& operator=(const String& other);
    String& operator=(const char* text);
    String& operator=(char c);
    String& operator=(int value);

    String& append(char c);
    String& append(const String& s);
    String& append(const char* s);
    String& append(int value);
    String& operator+=(const char* s) { return append(s); }
    String& operator+=(const String& s) { return append(s); }
    String& operator+=(int value) { return append(value); }
    String& operator+=(char c) { return append(c); }
    // Gives the buffer room for at least n bytes (text and NUL); an owned copy
    // replaces a borrowed buffer.
    void ensureCapacity(int n);
    // This text followed by s, sized once for both.
    String concat(const char* s) const;

    int hashCode() override;
    bool equals(Object* other) override;
    String toString() override;
    HV_CLASS_NAME("String", Object)

    bool equals(const String& other) const;
    bool equals(const char* text) const;
    bool equalsIgnoreCase(const String& other) const;
    bool equalsIgnoreCase(const char* text) const;
    int compareToIgnoreCase(const String& other) const;
    bool startsWith(const char* prefix) const;
    bool startsWith(const String& prefix) const;
    bool endsWith(const char* suffix) const;
    int indexOf(char c, int from = 0) const;
    int indexOf(const char* needle, int from = 0) const;
    int indexOf(const String& needle, int from = 0) const;
    int lastIndexOf(char c) const;

    String substring(int from) const;
    String substring(int from, int to) const;
    String right(int n) const;
    String toLowerCase() const;
    String toUpperCase() const;
    // Without leading and trailing bytes of value 32 and below.
    String trim() const;

    void setCharAt(int i, char c);
    // Truncates to n bytes when 0 <= n < length; never lengthens.
    void setLength(int n);
    // Replaces every non-overlapping occurrence, left to right.
    void replaceAll(const String& pattern, const String& replacement);

    int toInt() const;
    // The characters allowed in a typed player name.
    static bool isNameChar(int c);

    // The text item of the open resource archive with that key, converted from
    // UTF-8 to the ANSI code page; an empty text when there is no such item.
    static String loadText(const char* key);
    static String loadText(const String& key) { return loadText(key.c_str()); }

private:
    void assign(const char* text, int length);
    void appendBytes(const char* text, int length);

    char* m_pBuffer;
    int m_nCapacity;
    int m_nLength;
};

String operator+(const String& a, const String& b);
String operator+(const String& a, int value);

} // namespace lang
