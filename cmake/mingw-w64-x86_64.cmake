# Cross-builds the Windows program on Linux with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64). The MinGW sysroot holds the Windows import
# libraries (opengl32, glu32, gdi32, user32) and their headers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
# The win32 thread model: the posix one would need libwinpthread-1.dll.
find_program(CMAKE_C_COMPILER NAMES ${KORVANE_MINGW_TRIPLE}-gcc-win32 ${KORVANE_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KORVANE_MINGW_TRIPLE}-g++-win32 ${KORVANE_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KORVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs started by the build or its tests (none for now) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
