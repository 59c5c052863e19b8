# The 32-bit build: what ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELLORAN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
