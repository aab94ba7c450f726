// ByteArrayOutputStream.h: a byte output stream into a store that grows to the
// size needed. The written bytes are the first getPosition() bytes of the store.
#pragma once

#include "core/io/OutputStream.h"
#include "core/lang/ByteArray.h"

namespace io {

class ByteArrayOutputStream : public OutputStream {
public:
    // A zero-filled store of that many bytes (100 when 0 or less).
    explicit ByteArrayOutputStream(int initialSize);

    void close() override {}
    void flush() override {}
    void write(int byte) override;
    void write(const unsigned char* buffer, int length) override;
    void write(const lang::ByteArray& bytes) override;
    void write(const lang::String& text) override;

    lang::ByteArray& getStore() { return m_store; }
    const lang::ByteArray& getStore() const { return m_store; }
    int getPosition() const { return m_nPosition; }

    HV_CLASS_NAME("ByteArrayOutputStream", OutputStream)

private:
    lang::ByteArray m_store;
    int m_nPosition;
};

} // namespace io
