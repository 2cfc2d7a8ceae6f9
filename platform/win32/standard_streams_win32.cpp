// Standard input and output switched out of the C runtime's text mode.
#include "platform/standard_streams.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace platform {

void binary_standard_streams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace platform
