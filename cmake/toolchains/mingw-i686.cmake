# Windows 32-bit console program, cross-built with Debian's mingw-w64.
set(ZEV_MINGW_PROCESSOR i686)
set(ZEV_MINGW_TRIPLE i686-w64-mingw32)
# The stack walk of the 32-bit build follows frame pointers.
set(ZEV_MINGW_COMPILE_FLAGS "-fno-omit-frame-pointer")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
