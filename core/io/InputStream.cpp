// InputStream.cpp: the generic seek, as a reset followed by a skip.
#include "core/io/InputStream.h"

namespace io {

int InputStream::seek(int position)
{
    reset();
    return skip(position);
}

} // namespace io
