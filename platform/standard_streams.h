// Standard input and output as byte streams: tools that speak a framed
// protocol over them (the language server) must see every byte as sent.
// Real on every backend, like the critical sections.
#pragma once

namespace platform {

// _setmode(_O_BINARY) on standard input and output on Windows, where text mode
// would turn CR LF into LF on input and LF into CR LF on output; nothing on
// POSIX, where the streams are bytes already.
void binary_standard_streams();

} // namespace platform
