// Cursors.h: system and resource cursors, the pointer shown, and the pointer
// position.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>
#include <vector>


// System cursor ids (LoadCursorA with a null instance).
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)

// LoadImageA kinds.
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

// A system cursor (null instance, IDC_* id) or a cursor resource of the
// program registered with registerCursorResource (any instance, its id).
// Anything else gives null.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Icons and bitmaps: the program has none, so null; cursors as LoadCursorA.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
// A monochrome cursor from its AND and XOR planes (rows padded to 16 bits):
// AND 1 / XOR 0 is transparent, AND 0 shows black (XOR 0) or white (XOR 1).
HCURSOR CreateCursor(HINSTANCE instance, int hotX, int hotY, int width, int height, const void* andPlane,
                     const void* xorPlane);
BOOL DestroyCursor(HCURSOR cursor);

// The cursor shown over the program's windows; null hides the pointer.
// Returns the previous cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The display counter: the pointer shows while it is 0 or more (and a cursor
// is set). Returns the new count.
int ShowCursor(BOOL show);

// The pointer position in screen coordinates. Setting it moves the pointer and
// makes a mouse move.
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);

namespace platform {

// What a backend draws for a cursor: a system shape, or 32-bit pixels
// (0xAARRGGBB, transparent where alpha is 0) with a hot spot.
struct CursorShape {
    int systemId = 0; // an IDC_* number, 0 for a picture
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> pixels;
};

// Makes a monochrome cursor available as the program's resource `id`, as
// CreateCursor takes its planes.
void registerCursorResource(int id, int hotX, int hotY, int width, int height, const void* andPlane,
                            const void* xorPlane);
// The shape behind a cursor handle; null for an unknown handle.
const CursorShape* cursorShape(HCURSOR cursor);
// Whether the pointer is shown now (a cursor is set and the counter is not negative).
bool pointerVisible();

} // namespace platform
