// The write directory for user files: its name from the registry, then a full
// path given as is, the user's documents folder + name, or a fallback under the
// working directory.
#pragma once

#include "host/modules/filesystem_module.h"
#include "host/path_text.h"

// Starts as "Mirecrest"; the registry value "WriteDir" replaces it when the key
// and the value are there and the value fits 260 bytes (it may be empty). A value
// too long is refused with an error record saying so.
void ReadWriteDirectoryName(PathText& name);

// Chooses the write directory. The fallback (working directory + game folder +
// "\out") adds FFSAddSourceFlags 4 to flags. False (logged) when the chosen
// path does not fit: start-up is refused.
bool ChooseWriteDirectory(const PathText& name, const PathText& working_dir, const char* game_folder,
    PathText& write_dir, FFSAddSourceFlags::ENUM& flags);
