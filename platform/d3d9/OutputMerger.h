// OutputMerger.h: what happens to a shaded pixel: the alpha test, then the
// stencil test and its operations (the depth test always passes: the engine
// draws at z 0 over a buffer cleared to 1.0), then blending into the target.
#pragma once

#include "platform/d3d9/DrawState.h"

#include <cstdint>

namespace platform::d3d9 {

class OutputMerger {
public:
    explicit OutputMerger(const DrawState& state);

    // Pixels x .. x + count - 1 of row y (inside the clip) from colours[i].
    void writeSpan(int x, int y, int count, const uint32_t* colours) { (this->*m_span)(x, y, count, colours, 1); }
    // The same pixels from one colour.
    void fillSpan(int x, int y, int count, uint32_t colour) { (this->*m_span)(x, y, count, &colour, 0); }
    // Whether writeSpan() of colours that all have alpha 255 stores them
    // unchanged: no test can drop a pixel and the blend keeps opaque sources.
    bool copiesOpaque() const { return m_copiesOpaque; }
    // writeSpan() of opaque colours where copiesOpaque() holds: a plain copy.
    void copySpan(int x, int y, int count, const uint32_t* colours);

private:
    enum class Blend { Replace, AlphaOver, AlphaAdd, KeepTarget, Generic };
    using SpanFunction = void (OutputMerger::*)(int x, int y, int count, const uint32_t* colours, int step);

    template <bool AlphaTest, bool Stencil, Blend Mode>
    void span(int x, int y, int count, const uint32_t* colours, int step);
    template <bool AlphaTest, bool Stencil>
    static SpanFunction pick(Blend mode);

    static bool compare(DWORD func, uint32_t a, uint32_t b);
    // Runs the stencil test on one stencil byte and applies its operation.
    bool stencilPasses(uint8_t& value) const;
    static uint8_t stencilOperation(DWORD op, uint8_t value, uint8_t ref);
    uint32_t blendGeneric(uint32_t src, uint32_t dst) const;
    static uint32_t factor(DWORD blend, int shift, uint32_t src, uint32_t dst);

    const DrawState& m_state;
    SpanFunction m_span;
    uint32_t m_alphaOr;  // targets without alpha keep it opaque
    bool m_copiesOpaque = false;
    uint32_t m_stencilRefMasked;
    int m_stencilWidth = 0;
    int m_stencilHeight = 0;
};

} // namespace platform::d3d9
