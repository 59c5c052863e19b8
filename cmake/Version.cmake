# The version, read from the header that the Windows version resource takes it
# from, so that it is written in one place: VELLORAN_VERSION as the uninstall
# entry, the MSI and winget show it, three parts and four when the last is not
# 0 ("1.0.1" for 1,0,1,0).
file(STRINGS ${PROJECT_SOURCE_DIR}/saver/resources/version.h _velloran_version_line
     REGEX "^#define VELLORAN_VERSION_BINARY ")
string(REGEX MATCH "[0-9]+,[0-9]+,[0-9]+,[0-9]+" _velloran_version "${_velloran_version_line}")
if(NOT _velloran_version)
  message(FATAL_ERROR "no VELLORAN_VERSION_BINARY in saver/resources/version.h")
endif()
string(REGEX REPLACE ",0$" "" _velloran_version "${_velloran_version}")
string(REPLACE "," "." VELLORAN_VERSION "${_velloran_version}")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/saver/resources/version.h)
