// CDCWin32.cpp: giving a device context back to the system.
#include "windowing/gdi/CDCWin32.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/user/Window.h"

namespace window {

CDCWin32::~CDCWin32()
{
    if (m_hDC == nullptr)
        return;
    if (m_bFontSelected)
        SelectObject(m_hDC, GetStockObject(SYSTEM_FONT));
    if (m_hWnd != nullptr)
        ReleaseDC(m_hWnd, m_hDC);
    else
        DeleteDC(m_hDC);
}

} // namespace window
