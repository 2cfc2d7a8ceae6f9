// The two checks start-up runs before the game starts: only one instance at a
// time, and enough free disk space for the write directory.
#pragma once

// True: go on. False: another instance runs and the user was told.
bool CheckSingleInstance(const char* command_line);

// True: go on (enough space, the query failed, or the user chose to go on).
// False: the user chose to stop.
bool CheckFreeDiskSpace(const char* write_directory);

// True when text is a usable disk-space message: exactly one "%s" and then one
// "%d", every other "%" doubled. Any other text is replaced by the default
// rather than handed to the formatter.
bool IsDiskSpaceFormat(const char* text);
