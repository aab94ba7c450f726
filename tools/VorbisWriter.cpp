// VorbisWriter.cpp: the libvorbisenc analysis loop, pages gathered in memory.
#include "tools/VorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace tools {

std::vector<uint8_t> VorbisWriter::encode(const std::vector<std::vector<float>>& channels, int rate, float quality,
                                          int serial)
{
    std::vector<uint8_t> out;
    if (channels.empty())
        return out;
    auto put = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    const int count = int(channels.size());
    const size_t frames = channels[0].size();
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, count, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        put(page);

    // The encoder takes the PCM in chunks; an empty write ends the stream.
    constexpr size_t kChunk = 1024;
    size_t done = 0;
    bool finished = false;
    while (!finished) {
        const size_t n = std::min(kChunk, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (int c = 0; c < count; ++c) {
                const std::vector<float>& in = channels[size_t(c)];
                for (size_t i = 0; i < n; ++i)
                    buffer[c][i] = done + i < in.size() ? in[done + i] : 0.0f;
            }
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    put(page);
                    finished = finished || ogg_page_eos(&page);
                }
            }
        }
        if (n == 0) {
            while (ogg_stream_flush(&stream, &page))
                put(page);
            finished = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace tools
