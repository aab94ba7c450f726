// Cursor.cpp: the program's cursor objects (made and released by WindowGlobals).
#include "windowing/window/Cursor.h"

namespace window {

Cursor* Cursor::handCursor = nullptr;
Cursor* Cursor::spareCursor = nullptr;
Cursor* Cursor::openHandCursor = nullptr;
Cursor* Cursor::blankCursor = nullptr;
Cursor* Cursor::crossCursor = nullptr;
Cursor* Cursor::waitCursor = nullptr;
Cursor* Cursor::textCursor = nullptr;
Cursor* Cursor::normalCursor = nullptr;

} // namespace window
