// VertexDeclaration.cpp: reading a declaration's elements.
#include "platform/d3d9/VertexDeclaration.h"

#include "platform/d3d9/DeviceControls.h"

#include <algorithm>
#include <new>

namespace platform::d3d9 {
namespace {

// Bytes of each element type this device reads.
int typeSize(BYTE type)
{
    switch (type) {
    case D3DDECLTYPE_FLOAT1:
        return 4;
    case D3DDECLTYPE_FLOAT2:
        return 8;
    case D3DDECLTYPE_FLOAT3:
        return 12;
    case D3DDECLTYPE_FLOAT4:
        return 16;
    case D3DDECLTYPE_D3DCOLOR:
        return 4;
    default:
        return 0;
    }
}

// Elements that follow D3DDECL_END are never read; a list longer than this is
// taken as unterminated.
constexpr int kMaxElements = 64;

} // namespace

HRESULT VertexDeclaration::create(const D3DVERTEXELEMENT9* elements, VertexDeclaration** declaration)
{
    if (!declaration)
        return D3DERR_INVALIDCALL;
    *declaration = nullptr;
    if (!elements)
        return D3DERR_INVALIDCALL;
    HRESULT fault = DeviceControls::takeFault(FaultPoint::CreateVertexDeclaration);
    if (FAILED(fault))
        return fault;

    VertexDeclaration* made = new (std::nothrow) VertexDeclaration();
    if (!made)
        return E_OUTOFMEMORY;
    for (int i = 0;; ++i) {
        const D3DVERTEXELEMENT9& element = elements[i];
        if (element.Stream == 0xFF)
            break;
        int size = typeSize(element.Type);
        if (i >= kMaxElements || element.Stream != 0 || element.Method != D3DDECLMETHOD_DEFAULT || size == 0) {
            made->Release();
            return D3DERR_INVALIDCALL;
        }
        made->m_elements.push_back(element);
        made->m_end = std::max(made->m_end, int(element.Offset) + size);
        if (element.UsageIndex != 0)
            continue;
        if (element.Usage == D3DDECLUSAGE_POSITIONT &&
            (element.Type == D3DDECLTYPE_FLOAT3 || element.Type == D3DDECLTYPE_FLOAT4)) {
            made->m_position = element.Offset;
            made->m_positionHasRhw = element.Type == D3DDECLTYPE_FLOAT4;
        } else if (element.Usage == D3DDECLUSAGE_COLOR && element.Type == D3DDECLTYPE_D3DCOLOR) {
            made->m_colour = element.Offset;
        } else if (element.Usage == D3DDECLUSAGE_TEXCOORD && element.Type <= D3DDECLTYPE_FLOAT4) {
            made->m_texCoord = element.Offset;
            made->m_texCoordCount = std::min(2, int(element.Type) + 1);
        }
    }
    *declaration = made;
    return D3D_OK;
}

bool VertexDeclaration::implements(REFIID riid) const { return riid == IID_IDirect3DVertexDeclaration9; }

} // namespace platform::d3d9
