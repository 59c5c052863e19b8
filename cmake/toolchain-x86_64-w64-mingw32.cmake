# The 64-bit build of the same sources: it runs the Windows tests where a
# machine cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELLORAN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
