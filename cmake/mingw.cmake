# Cross-compiles the Windows side with mingw-w64 for VELLORAN_MINGW_TRIPLE,
# which the architecture's own toolchain file sets. The posix thread model
# gives GoogleTest the std::mutex it needs; everything is linked statically,
# so no thread DLL ships.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${VELLORAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELLORAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELLORAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELLORAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
