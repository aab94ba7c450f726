// JpegReader.h: the JPEG reader over libjpeg, with its own error exit, its
// own memory data source, and its own memory module whose backing store
// spills large working memory to delete-on-close temporary files.
#pragma once

#include <cstdint>

struct jpeg_decompress_struct;

namespace window {

// Reads a grey or colour JPEG from data (length bytes), or with length 0
// from the file whose path data holds. True with opaque pixels (the caller
// free()s them), or with only the size while decoding is deferred; false on
// any library error and for pictures of other than 1 or 3 components.
bool readJPEG(const unsigned char* data, int length, uint32_t*& pixels, int& width, int& height);

// Installs the memory data source on a decompression object: data is read
// in place, 4096 bytes at a time; an empty source ends with "Empty input
// file", a source that runs out later yields end-of-image markers with a
// "Premature end of JPEG file" warning for each refill.
void jpeg_memory_src(jpeg_decompress_struct* cinfo, const unsigned char* data, int length);

// The working memory libjpeg may use before it spills to temporary files.
const long kJpegMaxMemory = 1000000;

} // namespace window
