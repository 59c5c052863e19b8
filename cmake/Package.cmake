# The Debian package of the X11 program, made by CPack from the install rules
# (saver/x11/CMakeLists.txt):
#   cpack --config build/native/CPackConfig.cmake -B build
# writes build/velloransaver_VERSION_ARCH.deb. Its library dependencies come
# from dpkg-shlibdeps, its version from saver/resources/version.h.
include(${PROJECT_SOURCE_DIR}/cmake/Version.cmake)
include(GNUInstallDirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velloransaver)
set(CPACK_PACKAGE_VERSION ${VELLORAN_VERSION})
set(CPACK_PACKAGE_VENDOR "Velloran Software")
set(CPACK_PACKAGE_CONTACT "Velloran Software <saver@velloran.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the machine that builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.velloran.example/saver/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The daemon that runs it; desktops that have their own run it too.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pin board screensaver for XScreenSaver")
set(CPACK_PACKAGE_DESCRIPTION
    "Coloured balls fall through a random field of grey pins, bounce off them,
off each other and off the walls, and throw white sparks at every contact.
This is the X11 program of Velloran Saver, for XScreenSaver's daemon or any
X11 desktop, with its settings file for xscreensaver-settings.")

# Every date in the package is the source's: SOURCE_DATE_EPOCH when set, else
# the last commit's, so that two builds of one commit give the same package.
# The changelog takes it now; CPack, which dates the package's files with it,
# takes it when it runs (source-date.cmake), so that a plain cpack does too.
set(CPACK_VELLORAN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/debian/source-date.cmake)
include(${CPACK_PROJECT_CONFIG_FILE})

# The copyright file and the changelog where Debian's policy wants them.
set(_velloran_doc ${CMAKE_BINARY_DIR}/debian-doc)
string(TIMESTAMP VELLORAN_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${_velloran_doc}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${_velloran_doc}/changelog)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${_velloran_doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velloransaver)

# The Wayland program rides in the same package: its install rules are in
# saver/wayland/CMakeLists.txt, its libraries found by dpkg-shlibdeps too.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pin board screensaver for XScreenSaver and Wayland")
string(APPEND CPACK_PACKAGE_DESCRIPTION "
It also carries velloransaver-wayland, the same board on every output of a
Wayland desktop (sway, Hyprland and other wlroots compositors), for idle
daemons such as swayidle and hypridle.")

include(CPack)
