// Cursor.h: a mouse cursor (a shared system or resource cursor handle, never
// destroyed here) and the program's eight cursors.
#pragma once

#include "core/lang/Object.h"
#include "platform/Win32Types.h"

namespace window {

class Cursor : public lang::Object {
public:
    // The handle may be null: such a cursor hides the pointer.
    explicit Cursor(HCURSOR handle) : m_hCursor(handle) {}

    HCURSOR getHandle() const { return m_hCursor; }

    HV_CLASS_NAME("Cursor", lang::Object)

    // The program's cursors, made before the program starts (WindowGlobals)
    // and released at exit.
    static Cursor* handCursor;     // resource 104
    static Cursor* spareCursor;    // resource 105 (absent: null handle)
    static Cursor* openHandCursor; // resource 106 (absent: null handle)
    static Cursor* blankCursor;    // resource 107 (absent: null handle)
    static Cursor* crossCursor;
    static Cursor* waitCursor;
    static Cursor* textCursor;
    static Cursor* normalCursor;

private:
    HCURSOR m_hCursor;
};

} // namespace window
