// ByteArrayInputStream.h: a byte input stream over memory: a caller's buffer,
// or a private copy of an archive item.
#pragma once

#include "core/io/InputStream.h"
#include "core/lang/String.h"

namespace lang {
class ResourceItem;
}

namespace io {

class ByteArrayInputStream : public InputStream {
public:
    // Over a caller's buffer, which must outlive the stream.
    ByteArrayInputStream(const unsigned char* data, int length);
    // Over the archive item of that name (one leading "+" skipped); empty when
    // no archive is open or it has no such item.
    explicit ByteArrayInputStream(const lang::String& name);
    ~ByteArrayInputStream() override;

    int read(unsigned char* buffer, int offset, int length) override;
    int read() override;
    void close() override {}
    void reset() override { m_nPosition = 0; }
    // Positions stay within 0..length whatever is asked.
    int skip(int n) override;
    int seek(int position) override;

    int getLength() const { return m_nLength; }
    int getPosition() const { return m_nPosition; }

    HV_CLASS_NAME("ByteArrayInputStream", InputStream)

private:
    const unsigned char* m_pData;
    int m_nLength;
    int m_nPosition;
    lang::ResourceItem* m_pItem;
};

} // namespace io
