# Runs one of the freedesktop validators on the desktop files of an installed prefix. Any
# complaint fails, warnings and hints too; a missing validator skips (the test prints "SKIPPED:").
#   cmake -DVALIDATOR=desktop-file-validate|appstreamcli -DPREFIX=<prefix> -P RunValidator.cmake

find_program(tool "${VALIDATOR}")
if(NOT tool)
    message("SKIPPED: ${VALIDATOR} is not installed")
    return()
endif()

function(validate)
    execute_process(COMMAND "${tool}" ${ARGN}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(JOIN " " shown ${ARGN})
    message("${VALIDATOR} ${shown}\n${output}")
    string(REGEX REPLACE "[^\n]*Validation was successful[.]?" "" complaints "${output}")
    string(STRIP "${complaints}" complaints)
    if(NOT result EQUAL 0 OR complaints)
        message(FATAL_ERROR "${VALIDATOR} found problems")
    endif()
endfunction()

if(VALIDATOR STREQUAL "desktop-file-validate")
    validate("${PREFIX}/share/applications/nokuri.desktop")
elseif(VALIDATOR STREQUAL "appstreamcli")
    validate(validate --no-net --pedantic
        "${PREFIX}/share/metainfo/io.github.nokuri.nokuri.metainfo.xml")
    # validate-tree also checks that the metainfo's desktop entry is installed beside it.
    validate(validate-tree --no-net --pedantic "${PREFIX}")
else()
    message(FATAL_ERROR "Unknown validator '${VALIDATOR}'")
endif()
