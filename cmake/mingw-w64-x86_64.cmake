# Builds for 64-bit Windows with Debian's mingw-w64 cross compilers (the posix thread model,
# which std::thread and std::mutex need), and runs what it builds under Wine:
#   cmake -S . -B build-win --toolchain cmake/mingw-w64-x86_64.cmake \
#         -DWORDLARK_HOST_HEAPTOOL=build/heaptool
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WORDLARK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WORDLARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WORDLARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WORDLARK_MINGW_TRIPLE}-windres)

# Headers and libraries come from the Windows sysroot only: the host's /usr/include would
# bring glibc's headers in. Programs (the host's tools) are found as usual.
set(CMAKE_FIND_ROOT_PATH /usr/${WORDLARK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# An .exe needs no DLL but the system's: the C and C++ runtimes and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# Test discovery and ctest start the programs through Wine. Debian's `wine` picks the 64-bit
# loader only after hinting at the missing 32-bit one; wine64 runs these programs directly.
find_program(WORDLARK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(WORDLARK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${WORDLARK_WINE})
endif()
