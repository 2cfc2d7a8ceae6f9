// The process entry on POSIX: builds WinMain's arguments from argv (the
// arguments after the program name joined by single blanks) and returns its result.
#include <string>

#include "host/WinFrame.h"
#include "platform/platform.h"

namespace {
constexpr int kShowNormal = 1; // SW_SHOWNORMAL
} // namespace

int main(int argc, char** argv)
{
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            command_line += ' ';
        command_line += argv[i];
    }
    // The executable's own module handle stands for the instance, as on Windows.
    return WinMain(platform::module_handle(nullptr), nullptr, command_line.c_str(), kShowNormal);
}
