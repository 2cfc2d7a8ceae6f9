// The Windows headers as the Win32 backend includes them: the lean set for
// Windows 7 and later, without the min/max macros and without excpt.h's
// lower-case macros, which would rename the platform's exception_code.
#pragma once

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef exception_code
#undef exception_info
#undef abnormal_termination
