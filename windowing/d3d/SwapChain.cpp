// SwapChain.cpp: the swap chain record gives its interface back when it goes.
#include "windowing/d3d/SwapChain.h"

#include "platform/d3d9/D3D9.h"

namespace window {

SwapChain::~SwapChain()
{
    if (chain)
        chain->Release();
    chain = nullptr;
}

} // namespace window
