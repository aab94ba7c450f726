// TextureStage.h: the colour and alpha operations of texture stage 0, which
// combine a texel with the interpolated vertex colour. Without a texture, or
// with the stage disabled, the stage passes the vertex colour on unchanged.
#pragma once

#include "platform/d3d9/DrawState.h"

#include <cstdint>

namespace platform::d3d9 {

class TextureStage {
public:
    explicit TextureStage(const DrawState& state);

    // Whether the result depends on the texture.
    bool samplesTexture() const { return m_samples; }
    // Whether the result is the vertex colour itself.
    bool outputsDiffuse() const { return m_passDiffuse; }

    uint32_t combine(uint32_t texel, uint32_t diffuse) const;
    // combine() for `count` texels read `step` words apart, with one vertex
    // colour, into `out`; answers where the results are: `out`, or the texels
    // themselves when the stage leaves consecutive texels unchanged.
    const uint32_t* combineSpan(const uint32_t* texels, int step, uint32_t diffuse, uint32_t* out, int count) const;

private:
    enum class Op { Arg1, Arg2, Modulate, Modulate2x };

    static Op decodeOp(DWORD op);
    static uint32_t apply(Op op, uint32_t a, uint32_t b);

    bool m_passDiffuse = true;
    bool m_samples = false;
    Op m_colourOp = Op::Arg1;
    Op m_alphaOp = Op::Arg1;
    bool m_colourTex1 = false, m_colourTex2 = false;
    bool m_alphaTex1 = false, m_alphaTex2 = false;
    // Colour MODULATE2X and alpha MODULATE of texture by vertex colour.
    bool m_standard = false;
};

} // namespace platform::d3d9
