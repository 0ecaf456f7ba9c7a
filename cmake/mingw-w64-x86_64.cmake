# Cross build for 64-bit Windows with Debian's mingw-w64 compiler (posix
# threads: the win32-thread one has no std::thread and cannot build GoogleTest).
# The runtime is linked in statically, so the programs need only Windows' own
# DLLs. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(V7_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${V7_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${V7_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${V7_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${V7_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside each program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
