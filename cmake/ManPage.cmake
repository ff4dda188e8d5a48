# cmake -DHELP2MAN=... -DPROGRAM=... -DINCLUDE=... -DVERSION=... -DOUTPUT=... -P ManPage.cmake
# Writes the gzipped manual page of PROGRAM from its --help and --version.
# A program without --version gets VERSION, the project's version. The
# program runs by its bare name from PATH, so its usage lines show that name
# rather than the build folder.
get_filename_component(folder ${PROGRAM} DIRECTORY)
get_filename_component(name ${PROGRAM} NAME)
get_filename_component(page ${OUTPUT} NAME_WLE)
get_filename_component(pageFolder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${pageFolder})
set(ENV{PATH} "${folder}:$ENV{PATH}")
set(ENV{LC_ALL} C.UTF-8)

execute_process(COMMAND ${name} --version RESULT_VARIABLE versionResult
    OUTPUT_QUIET ERROR_QUIET)
set(versionOption)
if(NOT versionResult EQUAL 0)
    set(versionOption "--version-string=${VERSION}")
endif()

execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 --source=Vorlan --manual=Vorlan
            --include=${INCLUDE} ${versionOption} --output=${pageFolder}/${page} ${name}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gzip -9nf ${pageFolder}/${page} COMMAND_ERROR_IS_FATAL ANY)
