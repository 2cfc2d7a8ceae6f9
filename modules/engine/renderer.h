// The demo game's window: a real SDL window with a display, SDL's dummy video
// driver without one, held in the filesystem module's g_SdlManager so that the
// host can tear it down at exit.
#pragma once

#include <cstdint>

namespace renderer {

// Opens the window; false (and nothing drawn later) when SDL or g_SdlManager is
// not available or the window cannot be made.
bool open(const char* title);
// True when something can be seen: a display is set and the window is open.
bool visible();
// Clears the window to a colour that changes with the frame number and shows it.
void draw(int64_t frame);
// Handles the window's events; true when the player closed the window.
bool close_requested();
// Releases what the game made; the window itself is the host's to destroy.
void close();

} // namespace renderer
