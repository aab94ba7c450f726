// CMainDC.h: the screen's device context (GetDC of no window), on which font
// metrics are measured.
#pragma once

#include "windowing/gdi/CDCWin32.h"

namespace window {

class CMainDC : public CDCWin32 {
public:
    CMainDC();
    // Releases the screen context; the base then finds no context left.
    ~CMainDC() override;

    HV_CLASS_NAME("CMainDC", CDCWin32)
};

} // namespace window
