// CMainDC.cpp: taking and giving back the screen's device context.
#include "windowing/gdi/CMainDC.h"

#include "platform/user/Window.h"

namespace window {

CMainDC::CMainDC() : CDCWin32(GetDC(nullptr), nullptr) {}

CMainDC::~CMainDC()
{
    if (m_hDC != nullptr)
        ReleaseDC(nullptr, m_hDC);
    m_hDC = nullptr;
}

} // namespace window
