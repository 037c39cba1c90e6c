# Windows x64 console program, cross-built with Debian's mingw-w64.
set(ZEV_MINGW_PROCESSOR x86_64)
set(ZEV_MINGW_TRIPLE x86_64-w64-mingw32)
# Linked at the classic image base, so that the places of a stop message
# keep eight digits and name addresses in zev.exe as linked.
set(ZEV_MINGW_LINK_FLAGS "-Wl,--image-base,0x400000")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
