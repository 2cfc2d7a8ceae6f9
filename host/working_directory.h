// The executable directory and the working directory, with the "--wd" and
// "-game_dir=" switches of the raw command line.
#pragma once

#include "host/path_text.h"

// Drive and directory of the executable's file name (ends with a separator).
// False (logged) when the file name does not fit 260 bytes: the name the system
// gives is then cut, and its directory would be another one.
bool FindExecutableDirectory(PathText& executable_dir);

// The current directory plus a separator with "--wd", else the executable
// directory. False (logged) when the current directory cannot be read or the
// path does not fit.
bool FindWorkingDirectory(const char* command_line, const PathText& executable_dir, PathText& working_dir);

// "-game_dir=<dir>" replaces the working directory (up to its first blank, with
// a separator added unless it ends with one). An empty value is ignored and
// logged; a directory that does not exist is logged and used all the same.
// False (logged) when the value does not fit.
bool ApplyGameDirSwitch(const char* command_line, PathText& working_dir);
