# Cross-compiling for 64-bit Windows with mingw-w64 (Debian's
# g++-mingw-w64-x86-64). The POSIX-thread variants of the compilers carry the
# C++ thread library; the C and C++ runtimes are linked in statically, so the
# executables and DLLs run without the mingw runtime DLLs. Programs run under
# Wine (cmake/wine-run.sh) when CTest starts them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mc_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mc_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mc_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mc_mingw_triplet}-windres)

# Libraries and headers from the mingw-w64 tree only; programs (flex, bison)
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mc_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside every executable and DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
