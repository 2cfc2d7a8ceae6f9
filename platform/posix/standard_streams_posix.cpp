// POSIX standard streams carry bytes unchanged: nothing to switch.
#include "platform/standard_streams.h"

namespace platform {

void binary_standard_streams() { }

} // namespace platform
