# What `cmake --install` and the Debian package put where: the three programs,
# the desktop entry and its icons, the manual pages, the documentation and
# the port alias folder. Refers to targets by name only, so it does not care
# which folder builds them. Included from the top CMakeLists.txt after every
# target exists.

# Debian's documentation folder is named after the package, not the project.
set(CMAKE_INSTALL_DOCDIR share/doc/vorlan)
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(VORLAN_PROGRAMS vorlan vorlan-flash vorlan-board)
set(VORLAN_GENERATED ${CMAKE_BINARY_DIR}/install-files)

# Each program's --version names the project's version.
foreach(program vorlan vorlan-flash vorlan-board)
    target_compile_definitions(${program} PRIVATE VORLAN_PROJECT_VERSION="${PROJECT_VERSION}")
endforeach()

install(TARGETS ${VORLAN_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Icons: the chip logo drawn by the program's own code, at the sizes a
# desktop asks for.
set(VORLAN_ICON_SIZES 16 32 48 64 128 256)
set(icon_files)
foreach(size IN LISTS VORLAN_ICON_SIZES)
    list(APPEND icon_files ${VORLAN_GENERATED}/icons/${size}x${size}/apps/vorlan.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
    COMMAND vorlan-icon ${VORLAN_GENERATED}/icons ${VORLAN_ICON_SIZES}
    DEPENDS vorlan-icon
    COMMENT "Drawing the desktop icons"
    VERBATIM)

# Manual pages from each program's own --help and --version, so they follow
# the program; docs/man/<program>.h2m adds what --help does not say.
find_program(HELP2MAN help2man REQUIRED)
set(man_files)
foreach(program IN LISTS VORLAN_PROGRAMS)
    set(page ${VORLAN_GENERATED}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND}
                -DHELP2MAN=${HELP2MAN}
                -DPROGRAM=$<TARGET_FILE:${program}>
                -DINCLUDE=${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m
                -DVERSION=${PROJECT_VERSION}
                -DOUTPUT=${page}
                -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
        DEPENDS ${program} ${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m
                ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
        COMMENT "Writing the manual page of ${program}"
        VERBATIM)
    list(APPEND man_files ${page})
endforeach()

# The Debian changelog of this (native) package: one entry for this version,
# dated at configure time (or at $SOURCE_DATE_EPOCH).
string(TIMESTAMP VORLAN_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${VORLAN_GENERATED}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${VORLAN_GENERATED}/changelog
    OUTPUT_FILE ${VORLAN_GENERATED}/changelog.gz
    COMMAND_ERROR_IS_FATAL ANY)

add_custom_target(vorlan-install-files ALL
    DEPENDS ${icon_files} ${man_files})

install(DIRECTORY ${VORLAN_GENERATED}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES packaging/vorlan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md packaging/copyright ${VORLAN_GENERATED}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The programs look for COM aliases here whatever the prefix, so the folder
# is absolute; the administrator fills it (see README).
install(DIRECTORY DESTINATION /etc/vorlan/ports)
