// The demo game's window when the module is built without SDL: there is none,
// and frames run without drawing.
#include "modules/engine/renderer.h"

namespace renderer {

bool open(const char*) { return false; }
bool visible() { return false; }
void draw(int64_t) { }
bool close_requested() { return false; }
void close() { }

} // namespace renderer
