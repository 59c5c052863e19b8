# Compiler settings shared by every target of ours.

# The simulation must compute the same doubles natively and on Windows:
# no contraction into fused multiply-adds, no fast-math reassociation. Without
# errno a square root is the instruction alone, never mingw-w64's x87 routine.
add_compile_options(-ffp-contract=off -fno-fast-math -fno-math-errno)

# Builds in different folders give the same bytes: no source paths inside.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)

if(WIN32)
  # The programs are downloaded: optimise for size.
  set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "" FORCE)
  set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "" FORCE)
  # SSE2 arithmetic on i686 gives IEEE doubles without x87 excess precision.
  add_compile_options(-msse2 -mfpmath=sse -ffunction-sections -fdata-sections)
  # Nothing asks for a type at run time. Test programs derive from the
  # framework's classes, so they go without RTTI too, GoogleTest included.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  add_link_options(-static -Wl,--gc-sections -Wl,--no-insert-timestamp)
  # Terminal-server aware: on a Remote Desktop session host a program without
  # the mark is given a private Windows folder per user, so the installer
  # would put the saver where the system never looks for it.
  add_link_options(-Wl,--tsaware)
  if(CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
    add_link_options(-s)
  endif()
  # Resource scripts see the same ids and version numbers as the code.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -O coff")
endif()

if(VELLORAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The shipped programs and the libraries they link go without exceptions on
# Windows: nothing throws on purpose, and where the C++ library would throw,
# saver/framework/runtime.cpp ends the program instead. Function-local
# statics need no lock: they are first used on the user-interface thread,
# never on the animation timer's.
function(velloran_shipped target)
  if(WIN32)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-threadsafe-statics>)
  endif()
endfunction()

# Strict warnings for our own code only; third-party targets do not get them.
# The Windows programs build for i686 and x86_64 from the same sources: an
# implicit narrowing such as a LONG_PTR stored into a LONG loses the upper
# half of a pointer only in the 64-bit build, so both builds refuse it.
function(velloran_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(WIN32)
    target_compile_options(${target} PRIVATE -Wconversion)
  endif()
endfunction()
