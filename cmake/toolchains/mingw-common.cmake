# Shared by the mingw-w64 toolchain files. The posix-threads compilers are
# used because GoogleTest needs std::thread, which the win32-threads
# variant lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZEV_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${ZEV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZEV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything the C++ run-time needs is linked in, so that the programs
# need nothing beyond KERNEL32 and msvcrt.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${ZEV_MINGW_LINK_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZEV_MINGW_COMPILE_FLAGS}")
