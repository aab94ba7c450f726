// WavBuilder.h: builds RIFF WAVE files in memory for the reader's tests,
// chunk by chunk, including deliberately broken ones.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace wavtest {

inline void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

class WavBuilder {
public:
    // Appends a chunk with its pad byte; `declared` overrides the size field.
    WavBuilder& chunk(const char* id, const std::vector<uint8_t>& body, int64_t declared = -1)
    {
        m_body.insert(m_body.end(), id, id + 4);
        put32(m_body, declared >= 0 ? uint32_t(declared) : uint32_t(body.size()));
        m_body.insert(m_body.end(), body.begin(), body.end());
        if (body.size() & 1)
            m_body.push_back(0);
        return *this;
    }

    WavBuilder& format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign,
                       const std::vector<uint8_t>& extra = {}, bool withCbSize = true)
    {
        std::vector<uint8_t> f;
        put16(f, tag);
        put16(f, channels);
        put32(f, rate);
        put32(f, rate * blockAlign);
        put16(f, blockAlign);
        put16(f, bits);
        if (withCbSize) {
            put16(f, uint32_t(extra.size()));
            f.insert(f.end(), extra.begin(), extra.end());
        }
        return chunk("fmt ", f);
    }

    WavBuilder& pcm(uint16_t channels, uint32_t rate, uint16_t bits)
    {
        return format(1, channels, rate, bits, uint16_t(channels * bits / 8));
    }

    WavBuilder& data(const std::vector<uint8_t>& bytes, int64_t declared = -1)
    {
        return chunk("data", bytes, declared);
    }

    WavBuilder& cue(const std::vector<std::pair<uint32_t, uint32_t>>& idAndOffset, int64_t declaredCount = -1)
    {
        std::vector<uint8_t> c;
        put32(c, declaredCount >= 0 ? uint32_t(declaredCount) : uint32_t(idAndOffset.size()));
        for (auto& p : idAndOffset) {
            put32(c, p.first);
            put32(c, p.second);
            c.insert(c.end(), {'d', 'a', 't', 'a'});
            put32(c, 0);
            put32(c, 0);
            put32(c, p.second);
        }
        return chunk("cue ", c);
    }

    WavBuilder& labels(const std::vector<std::pair<uint32_t, std::string>>& idAndName)
    {
        std::vector<uint8_t> l = {'a', 'd', 't', 'l'};
        for (auto& p : idAndName) {
            std::vector<uint8_t> sub;
            put32(sub, p.first);
            sub.insert(sub.end(), p.second.begin(), p.second.end());
            sub.push_back(0);
            l.insert(l.end(), {'l', 'a', 'b', 'l'});
            put32(l, uint32_t(sub.size()));
            l.insert(l.end(), sub.begin(), sub.end());
            if (sub.size() & 1)
                l.push_back(0);
        }
        return chunk("LIST", l);
    }

    WavBuilder& sampler(uint32_t loopStart, uint32_t loopEnd)
    {
        std::vector<uint8_t> s;
        for (int i = 0; i < 7; ++i)
            put32(s, 0);
        put32(s, 1); // loop count
        put32(s, 0);
        put32(s, 0); // cue id
        put32(s, 0); // type
        put32(s, loopStart);
        put32(s, loopEnd);
        put32(s, 0);
        put32(s, 0);
        return chunk("smpl", s);
    }

    // The whole file; `riffSize` overrides the header's size field.
    std::vector<uint8_t> build(int64_t riffSize = -1) const
    {
        std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
        put32(out, riffSize >= 0 ? uint32_t(riffSize) : uint32_t(m_body.size() + 4));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), m_body.begin(), m_body.end());
        return out;
    }

private:
    std::vector<uint8_t> m_body;
};

} // namespace wavtest
