# Cross-builds the toolkit-free code for 64-bit Windows with Debian's mingw-w64 (the posix
# thread model, which std::thread needs), and runs what is built under Wine, so that ctest runs
# the Windows test programs here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SENDIBOX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SENDIBOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SENDIBOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SENDIBOX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SENDIBOX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages (nlohmann_json) are found where Debian installs them for the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The compiler's own runtime goes into each program, so the .exe files run without the
# mingw DLLs beside them (under Wine and on a Windows machine alike).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian keeps the 64-bit loader out of PATH; the wrapper in PATH asks for 32-bit Wine too.
find_program(SENDIBOX_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(SENDIBOX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SENDIBOX_WINE})
endif()
