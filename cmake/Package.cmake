# `make package` (CMake's package target): the Debian package
# build/vorlan_<version>_<arch>.deb of what cmake/Install.cmake installs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_CONTACT "Vorlan developers <vorlan@quenta.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for PIC boards with a serial boot loader")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorlan writes new firmware into boards built on PIC18, PIC24 and dsPIC33
microcontrollers that carry a small serial boot loader. Plug the board into
a serial port (or a USB serial adapter) and press START: Vorlan finds the
boot loader, reads which board it is, picks the matching firmware built into
the program, checks that it fits, writes it block by block with progress and
reports the result.

This package contains:
 - vorlan: the desktop updater (Qt 6);
 - vorlan-flash: the same updater in a terminal, for scripts and production
   lines; exit status 0 when the board was programmed;
 - vorlan-board: a board emulator on a pseudo-terminal, to try the updaters
   without hardware.

Serial ports are named COM1 to COM257; /etc/vorlan/ports holds links that
give a device a fixed COM number.")

# <name>_<version>_<arch>.deb, the architecture from dpkg.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)

include(CPack)
