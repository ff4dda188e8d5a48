# The target windows-installer of the Windows build (`make windows-installer`):
#   vorlan-<version>-setup.exe  the setup program, made by NSIS from
#                               packaging/windows/vorlan.nsi;
#   vorlan-<version>-win64.zip  the same files for use without installing.
# Both pack the programs this build has: vorlan-flash.exe, and vorlan.exe
# when the desktop program is one of its targets. Included from the top
# CMakeLists.txt after every target exists.
#
# windows-installer/ in the build folder holds what both are made from:
#   stage/      the programs (stripped), README.txt and LICENCE.txt in CR LF;
#   files.nsh   those files as the setup script takes them (VorlanFiles);
#   vorlan.ico  the desktop program's icon, when it has one;
#   files.txt   the same list, one name a line, for the check
#               (scripts/windows_installer_check.sh).

set(VORLAN_INSTALLER_DIR ${CMAKE_BINARY_DIR}/windows-installer)
set(stage ${VORLAN_INSTALLER_DIR}/stage)
set(VORLAN_SETUP ${CMAKE_BINARY_DIR}/vorlan-${PROJECT_VERSION}-setup.exe)
set(VORLAN_ZIP ${CMAKE_BINARY_DIR}/vorlan-${PROJECT_VERSION}-win64.zip)

set(VORLAN_WINDOWS_PROGRAMS)
foreach(program vorlan vorlan-flash)
    if(TARGET ${program})
        list(APPEND VORLAN_WINDOWS_PROGRAMS ${program})
    endif()
endforeach()

# The setup program wears the desktop program's icon, the .ico among its
# sources, when it has one; it is made with the program.
set(icon "")
if(TARGET vorlan)
    get_target_property(sources vorlan SOURCES)
    get_target_property(source_dir vorlan SOURCE_DIR)
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.ico$")
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} OUTPUT_VARIABLE icon)
        endif()
    endforeach()
endif()

# The programs, stripped as the Debian package strips them (a tenth of the size).
set(staged_programs)
foreach(program IN LISTS VORLAN_WINDOWS_PROGRAMS)
    set(outputs ${stage}/${program}.exe)
    set(copy_icon)
    if(program STREQUAL "vorlan" AND icon)
        list(APPEND outputs ${VORLAN_INSTALLER_DIR}/vorlan.ico)
        set(copy_icon COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${VORLAN_INSTALLER_DIR}/vorlan.ico)
    endif()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
        COMMAND ${CMAKE_STRIP} -o ${stage}/${program}.exe $<TARGET_FILE:${program}>
        ${copy_icon}
        DEPENDS ${program}
        COMMENT "Staging ${program}.exe for the setup program and the zip"
        VERBATIM)
    list(APPEND staged_programs ${outputs})
endforeach()

# README.txt says what each packed program is.
set(VORLAN_README_PROGRAMS "")
if(TARGET vorlan)
    string(APPEND VORLAN_README_PROGRAMS
        "  vorlan.exe        the desktop updater: plug in the board, choose its\n"
        "                    port (menu Serial Port), press START.\n")
endif()
string(APPEND VORLAN_README_PROGRAMS
    "  vorlan-flash.exe  the same updater in a command prompt, for scripts and\n"
    "                    production lines: vorlan-flash --list, then\n"
    "                    vorlan-flash --port COM5 (vorlan-flash --help).\n")
if(NOT TARGET vorlan)
    string(APPEND VORLAN_README_PROGRAMS "\n"
        "The Start Menu shortcut \"Vorlan\" opens a command prompt in the program\n"
        "folder with vorlan-flash's help.\n")
endif()
# Texts for Windows in CR LF, also the lines that a variable brings in.
function(vorlan_write_crlf template output)
    file(READ ${template} text)
    string(CONFIGURE "${text}" text @ONLY)
    # (file(CONFIGURE) would leave the lines of a variable as they are.)
    file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY NEWLINE_STYLE CRLF)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template})
endfunction()
vorlan_write_crlf(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in ${stage}/README.txt)

# LICENCE.txt: the holders and the licence of packaging/copyright as plain
# text, without the Debian format's fields.
file(READ ${CMAKE_SOURCE_DIR}/packaging/copyright copyright)
string(REGEX MATCH "\nCopyright: ([^\n]*)" found "${copyright}")
set(VORLAN_COPYRIGHT "${CMAKE_MATCH_1}")
# The stand-alone licence paragraph: its text lines start with a blank, and
# " ." is an empty line.
string(REGEX MATCH "\n\nLicense: [^\n]*\n(( [^\n]*\n?)+)" found "${copyright}")
set(VORLAN_LICENCE "${CMAKE_MATCH_1}")
if(VORLAN_COPYRIGHT STREQUAL "" OR VORLAN_LICENCE STREQUAL "")
    message(FATAL_ERROR "packaging/copyright: no Copyright field or licence paragraph")
endif()
string(REGEX REPLACE "(^|\n) \\.(\n|$)" "\\1\\2" VORLAN_LICENCE "${VORLAN_LICENCE}")
string(REGEX REPLACE "(^|\n) " "\\1" VORLAN_LICENCE "${VORLAN_LICENCE}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/packaging/copyright)
vorlan_write_crlf(${CMAKE_SOURCE_DIR}/packaging/windows/LICENCE.txt.in ${stage}/LICENCE.txt)

set(VORLAN_PACKED_FILES)
foreach(program IN LISTS VORLAN_WINDOWS_PROGRAMS)
    list(APPEND VORLAN_PACKED_FILES ${program}.exe)
endforeach()
list(APPEND VORLAN_PACKED_FILES README.txt LICENCE.txt)

set(files_nsh "; What this build packs, written by cmake/WindowsInstaller.cmake.\n")
if(TARGET vorlan)
    string(APPEND files_nsh "!define VORLAN_DESKTOP\n")
endif()
if(icon)
    string(APPEND files_nsh "!define VORLAN_ICON \"${VORLAN_INSTALLER_DIR}/vorlan.ico\"\n")
endif()
string(APPEND files_nsh "!macro VorlanFiles\n")
foreach(file IN LISTS VORLAN_PACKED_FILES)
    string(APPEND files_nsh "    !insertmacro VorlanFile \"${file}\"\n")
endforeach()
string(APPEND files_nsh "!macroend\n")
file(CONFIGURE OUTPUT ${VORLAN_INSTALLER_DIR}/files.nsh CONTENT "${files_nsh}" @ONLY)
list(JOIN VORLAN_PACKED_FILES "\n" files_txt)
file(CONFIGURE OUTPUT ${VORLAN_INSTALLER_DIR}/files.txt CONTENT "${files_txt}\n" @ONLY)

set(staged_files ${staged_programs} ${stage}/README.txt ${stage}/LICENCE.txt)
set(nsis_script ${CMAKE_SOURCE_DIR}/packaging/windows/vorlan.nsi)

# The Windows version resource wants four numbers.
set(file_version ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
        string(APPEND file_version .0)
    else()
        string(APPEND file_version .${PROJECT_VERSION_${part}})
    endif()
endforeach()

find_program(VORLAN_MAKENSIS makensis)
find_program(VORLAN_ZIP_PROGRAM zip)
if(NOT VORLAN_MAKENSIS OR NOT VORLAN_ZIP_PROGRAM)
    add_custom_target(windows-installer
        COMMAND ${CMAKE_COMMAND} -E echo "windows-installer needs makensis and zip (make deps)"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
    return()
endif()

# -WX: a warning of the script fails the build.
add_custom_command(OUTPUT ${VORLAN_SETUP}
    COMMAND ${VORLAN_MAKENSIS} -V2 -WX
            -DVERSION=${PROJECT_VERSION}
            -DFILE_VERSION=${file_version}
            -DSTAGE=${stage}
            -DFILES=${VORLAN_INSTALLER_DIR}/files.nsh
            -DOUTFILE=${VORLAN_SETUP}
            ${nsis_script}
    DEPENDS ${staged_files} ${nsis_script} ${VORLAN_INSTALLER_DIR}/files.nsh
    COMMENT "Making the setup program vorlan-${PROJECT_VERSION}-setup.exe"
    VERBATIM)

# -X: no Unix owners and times beyond the plain ones, -D: no folder entries.
add_custom_command(OUTPUT ${VORLAN_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${VORLAN_ZIP}
    COMMAND ${VORLAN_ZIP_PROGRAM} -q -X -D -9 ${VORLAN_ZIP} ${VORLAN_PACKED_FILES}
    WORKING_DIRECTORY ${stage}
    DEPENDS ${staged_files} ${VORLAN_INSTALLER_DIR}/files.txt
    COMMENT "Making the zip vorlan-${PROJECT_VERSION}-win64.zip"
    VERBATIM)

add_custom_target(windows-installer DEPENDS ${VORLAN_SETUP} ${VORLAN_ZIP})
