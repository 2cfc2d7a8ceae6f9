// POSIX's setenv and unsetenv for the Windows builds of the tests, over the C
// runtime's _putenv_s (which removes a variable given an empty value).
#pragma once

#include <cstdlib>

#if defined(_WIN32)
inline int setenv(const char* name, const char* value, int) { return _putenv_s(name, value); }
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
#endif
