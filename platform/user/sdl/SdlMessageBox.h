// SdlMessageBox.h: SDL's message box, shown by a process of its own: the
// program started again, which shows the box on a display connection of its
// own and ends. Nothing of the program's own display is touched on the way
// (SDL's box raises the program's window and shows its pointer before and
// after the box, from the thread that shows it), so a box never waits for
// the program's display, nor holds up the thread that shows it once the box
// is closed, the display lost, or the box's window destroyed by another
// client.
#pragma once

#include <string>

namespace platform {

// Shows a box (SDL's message box flags, caption and text in UTF-8) and
// waits for its process to end: answered, closed (its process ended by
// platform::closeMessageBoxes, as a child of this thread), or its window or
// display gone. False when no box could be shown.
bool showSdlMessageBox(unsigned flags, const std::string& caption, const std::string& text);
// A box's caption or text (UTF-8) as its process is given it: cut to 64 KiB,
// which the system's environment takes and a box never shows whole, at a
// character's start.
std::string sdlMessageBoxText(const std::string& text);

} // namespace platform
