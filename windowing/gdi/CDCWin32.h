// CDCWin32.h: an owned GDI device context, given back to the system in the
// right way (ReleaseDC for a window's context, DeleteDC otherwise) when the
// last reference goes.
#pragma once

#include "core/lang/Object.h"
#include "platform/Win32Types.h"

namespace window {

class CDCWin32 : public lang::Object {
public:
    // Takes ownership of dc; window is the window it came from with GetDC, or
    // null for a memory or screen context.
    explicit CDCWin32(HDC dc, HWND window = nullptr) : m_bFontSelected(FALSE), m_hDC(dc), m_hWnd(window) {}
    // Selects the stock system font back when a font was selected, then
    // releases or deletes the context.
    ~CDCWin32() override;

    HDC getDC() const { return m_hDC; }
    HWND getWindow() const { return m_hWnd; }
    // Set by whoever selects a font into the context.
    bool isFontSelected() const { return m_bFontSelected != FALSE; }
    void setFontSelected(bool selected) { m_bFontSelected = selected ? TRUE : FALSE; }

    HV_CLASS_NAME("CDCWin32", lang::Object)

protected:
    BOOL m_bFontSelected;
    HDC m_hDC;
    HWND m_hWnd;
};

} // namespace window
