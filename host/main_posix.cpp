// The process entry on POSIX: builds WinMain's arguments from argv (the
// arguments after the program name joined by single blanks) and returns its result.
#include <string>

#include "host/WinFrame.h"

namespace {
// Stands for the executable's instance handle; never dereferenced by the host.
char g_InstanceTag;
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
    return WinMain(&g_InstanceTag, nullptr, command_line.c_str(), kShowNormal);
}
