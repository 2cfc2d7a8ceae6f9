// The demo game's own command-line switches: -frames=N (quit after N frames),
// -exitcode=K (the quit message's exit code), -initfail (Initialize fails) and
// -crash (an access fault in the first frame).
#pragma once

#include <cstdint>

namespace demo {

// Without a display nobody can close the window: the game quits by itself
// after 120 frames (two seconds at 60 frames a second) unless -frames says otherwise.
constexpr int64_t headless_frames = 120;
// With a display it runs until the window is closed (0 means no frame limit).
constexpr int64_t unlimited_frames = 0;

struct switches {
    int64_t frames = unlimited_frames;
    int exit_code = 0;
    bool init_fail = false;
    bool crash = false;
    int refused = 0; // switches of the demo game whose value did not read
};

// Reads the switches from a command line (tokens separated by blanks and tabs;
// each switch is a whole token). A value that is not a number in range
// (frames 0 to 1e9, exit code a 32-bit int) leaves the default and counts as refused.
switches parse_switches(const char* command_line, int64_t default_frames);

} // namespace demo
