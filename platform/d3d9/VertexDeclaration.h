// VertexDeclaration.h: the layout of a vertex in stream 0: where its
// pre-transformed position, diffuse colour and first texture coordinates lie.
#pragma once

#include "platform/d3d9/ComObject.h"
#include "platform/d3d9/D3D9.h"

#include <vector>

namespace platform::d3d9 {

class VertexDeclaration final : public ComObject<IDirect3DVertexDeclaration9> {
public:
    // Fails with D3DERR_INVALIDCALL on elements this device does not read.
    static HRESULT create(const D3DVERTEXELEMENT9* elements, VertexDeclaration** declaration);

    // Byte offsets inside a vertex, -1 when absent.
    int positionOffset() const { return m_position; }
    bool positionHasRhw() const { return m_positionHasRhw; }
    int colourOffset() const { return m_colour; }
    int texCoordOffset() const { return m_texCoord; }
    int texCoordCount() const { return m_texCoordCount; }
    // Bytes a vertex spans at least.
    int minimumStride() const { return m_end; }

protected:
    bool implements(REFIID riid) const override;

private:
    VertexDeclaration() = default;
    ~VertexDeclaration() override = default;

    std::vector<D3DVERTEXELEMENT9> m_elements;
    int m_position = -1;
    bool m_positionHasRhw = false;
    int m_colour = -1;
    int m_texCoord = -1;
    int m_texCoordCount = 0;
    int m_end = 0;
};

} // namespace platform::d3d9
