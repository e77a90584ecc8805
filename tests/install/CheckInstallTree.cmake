# Installs a build tree into an empty prefix and checks that every file lands where the desktop,
# the package and the program look for it, that the files agree with each other, and that
# nothing else is installed.
#   cmake -DBUILD_DIR=<build tree> -DPREFIX=<prefix> -DVERSION=<project version>
#         -P CheckInstallTree.cmake

set(problems "")
macro(problem text)
    string(APPEND problems "  ${text}\n")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

# The help document's place is the first one the program tries: <bin>/../share/nokuri/help.
set(expected
    bin/nokuri
    share/applications/nokuri.desktop
    share/doc/nokuri/changelog.gz
    share/doc/nokuri/copyright
    share/icons/hicolor/16x16/apps/nokuri.png
    share/icons/hicolor/32x32/apps/nokuri.png
    share/icons/hicolor/48x48/apps/nokuri.png
    share/icons/hicolor/scalable/apps/nokuri.svg
    share/man/ja/man1/nokuri.1.gz
    share/man/man1/nokuri.1.gz
    share/metainfo/io.github.nokuri.nokuri.metainfo.xml
    share/nokuri/help/nokuri-help.html)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
if(NOT installed STREQUAL expected)
    string(REPLACE ";" "\n    " want "${expected}")
    string(REPLACE ";" "\n    " got "${installed}")
    message(FATAL_ERROR "Installed files differ.\n  Expected:\n    ${want}\n  Installed:\n    ${got}")
endif()

execute_process(COMMAND test -x "${PREFIX}/bin/nokuri" RESULT_VARIABLE notExecutable)
if(notExecutable)
    problem("bin/nokuri is not executable")
endif()

# A PNG's width and height are 32-bit big-endian numbers at bytes 16 and 20.
foreach(size IN ITEMS 16 32 48)
    set(png "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/nokuri.png")
    file(READ "${png}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        problem("${size}x${size}/apps/nokuri.png is not a PNG file")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
        problem("${size}x${size}/apps/nokuri.png is ${width}x${height}")
    endif()
endforeach()
file(READ "${PREFIX}/share/icons/hicolor/scalable/apps/nokuri.svg" svg)
if(NOT svg MATCHES "<svg[ \n]")
    problem("scalable/apps/nokuri.svg holds no SVG picture")
endif()

# The desktop entry: one value per key of the [Desktop Entry] group.
file(STRINGS "${PREFIX}/share/applications/nokuri.desktop" lines ENCODING UTF-8)
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z0-9-]+(\\[[A-Za-z_@]+\\])?)=(.*)$")
        set(value "${CMAKE_MATCH_3}")
        string(MAKE_C_IDENTIFIER "entry_${CMAKE_MATCH_1}" key)
        set(${key} "${value}")
    endif()
endforeach()
if(NOT entry_Name STREQUAL "Nokuri")
    problem("the desktop entry's Name is '${entry_Name}', not 'Nokuri'")
endif()
if(NOT entry_Comment MATCHES "^[ -~]+$")
    problem("the desktop entry has no English Comment")
endif()
if(NOT entry_Comment_ja_ MATCHES "[^ -~]")
    problem("the desktop entry has no Japanese Comment[ja]")
endif()
if(NOT entry_Categories MATCHES "(^|;)Utility;")
    problem("the desktop entry is not in the Utility category")
endif()
string(REGEX REPLACE " .*" "" program "${entry_Exec}")
if(NOT program OR NOT EXISTS "${PREFIX}/bin/${program}")
    problem("the desktop entry runs '${program}', which is not installed in bin")
endif()
foreach(icon IN ITEMS 16x16/apps/${entry_Icon}.png 32x32/apps/${entry_Icon}.png
        48x48/apps/${entry_Icon}.png scalable/apps/${entry_Icon}.svg)
    if(NOT EXISTS "${PREFIX}/share/icons/hicolor/${icon}")
        problem("the desktop entry's icon has no file hicolor/${icon}")
    endif()
endforeach()

# The metainfo names the desktop entry, the program and the release being installed.
set(metainfo "${PREFIX}/share/metainfo/io.github.nokuri.nokuri.metainfo.xml")
file(READ "${metainfo}" xml)
if(NOT xml MATCHES "<id>io\\.github\\.nokuri\\.nokuri</id>")
    problem("the metainfo's id does not match its file name")
endif()
# (Arguments are expanded before if() matches, so each match is read in a step of its own.)
string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" found "${xml}")
set(launchable "${CMAKE_MATCH_1}")
if(NOT launchable OR NOT EXISTS "${PREFIX}/share/applications/${launchable}")
    problem("the metainfo launches '${launchable}', which is not an installed desktop entry")
endif()
string(REGEX MATCH "<binary>([^<]*)</binary>" found "${xml}")
set(binary "${CMAKE_MATCH_1}")
if(NOT binary OR NOT EXISTS "${PREFIX}/bin/${binary}")
    problem("the metainfo provides '${binary}', which is not installed in bin")
endif()
if(NOT xml MATCHES "<release version=\"${VERSION}\"")
    problem("the metainfo lists no release ${VERSION}")
endif()

# The newest changelog entry is the release being installed.
execute_process(COMMAND gzip -dc "${PREFIX}/share/doc/nokuri/changelog.gz"
    OUTPUT_VARIABLE changelog RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT changelog MATCHES "^nokuri \\(${VERSION}\\) ")
    problem("the changelog's newest entry is not for ${VERSION}")
endif()

if(problems)
    message(FATAL_ERROR "The installed tree in ${PREFIX} is wrong:\n${problems}")
endif()
list(LENGTH expected count)
message(STATUS "All ${count} files in place in ${PREFIX}")
