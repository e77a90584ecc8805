# Builds the Debian package from a build tree into a fresh folder and runs lintian on it, as a
# Debian packager would: any error or warning fails, informational notes are only shown. A
# missing lintian skips (the test prints "SKIPPED:").
#   cmake -DCPACK=<cpack> -DBUILD_DIR=<build tree> -DOUT=<folder> -P RunLintian.cmake

find_program(lintian lintian)
if(NOT lintian)
    message("SKIPPED: lintian is not installed")
    return()
endif()

file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUT}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB packages "${OUT}/*.deb")
list(LENGTH packages count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages:\n${output}")
endif()

execute_process(COMMAND "${lintian}" --fail-on error,warning --display-info ${packages}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("lintian ${packages}\n${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian found errors or warnings")
endif()
