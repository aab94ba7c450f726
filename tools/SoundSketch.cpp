// SoundSketch.cpp: the steps of a sound sketch turned into samples.
#include "tools/SoundSketch.h"

#include "tools/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace tools {

namespace {

constexpr double kPi = 3.14159265358979;
// Full scale less a little headroom.
constexpr double kPeak = 30000.0;

// A rise over the first fifth and a fall over the last fifth.
double trapezoid(double t)
{
    return std::min({1.0, t * 5.0, (1.0 - t) * 5.0});
}

} // namespace

int SoundSketch::frames(int ms)
{
    return std::max(0, int(int64_t(RATE) * ms / 1000));
}

void SoundSketch::add(double value)
{
    m_samples.push_back(int16_t(std::clamp(value, -1.0, 1.0) * kPeak));
}

void SoundSketch::tone(double hertz, int ms, double level)
{
    m_melody.push_back({hertz, ms, level});
    const int n = frames(ms);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double envelope = std::min({1.0, i / (RATE * 0.005), (1.0 - t) * 2.0});
        add(std::sin(2.0 * kPi * hertz * i / RATE) * level * envelope);
    }
}

void SoundSketch::sweep(double from, double to, int ms, double level)
{
    m_bMelodic = false;
    const int n = frames(ms);
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        phase += 2.0 * kPi * (from + (to - from) * t) / RATE;
        add(std::sin(phase) * level * std::sin(kPi * t));
    }
}

void SoundSketch::noise(int ms, double level, double smooth, int period)
{
    m_bMelodic = false;
    const int n = frames(ms);
    double low = 0.0;
    for (int i = 0; i < n; ++i) {
        m_nNoise = m_nNoise * 1664525u + 1013904223u;
        const double white = (m_nNoise >> 8) / double(1u << 24) * 2.0 - 1.0;
        low += smooth * (white - low);
        double swell = 1.0;
        if (period > 0)
            swell = 0.5 - 0.5 * std::cos(2.0 * kPi * i / frames(period));
        // The filter takes away loudness; a darker noise is raised again.
        add(low * level * trapezoid(double(i) / n) * swell / std::sqrt(std::max(smooth, 0.01)));
    }
}

void SoundSketch::rest(int ms)
{
    m_melody.push_back({0.0, ms, 0.0});
    m_samples.insert(m_samples.end(), size_t(frames(ms)), 0);
}

bool SoundSketch::read(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        line = line.substr(0, line.find(';'));
        std::istringstream words(line);
        std::string op;
        if (!(words >> op))
            continue;
        double a = 0, b = 0, c = 0, d = 0;
        bool ok = false;
        if (op == "tone" && (words >> a >> b >> c)) {
            tone(a, int(b), c);
            ok = true;
        } else if (op == "sweep" && (words >> a >> b >> c >> d)) {
            sweep(a, b, int(c), d);
            ok = true;
        } else if (op == "noise" && (words >> a >> b >> c)) {
            noise(int(a), b, c, (words >> d) ? int(d) : 0);
            ok = true;
        } else if (op == "rest" && (words >> a)) {
            rest(int(a));
            ok = true;
        }
        if (!ok) {
            error = "line " + std::to_string(lineNumber) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

bool SoundSketch::melody(std::vector<S3mWriter::Note>& notes) const
{
    notes = m_melody;
    return m_bMelodic;
}

std::vector<uint8_t> SoundSketch::wav() const
{
    return pcmWav(m_samples, RATE);
}

} // namespace tools
