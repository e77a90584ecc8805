# Desktop integration and the Debian package. The program, its help document and its manual
# pages are installed by src/, help/ and man/; this adds the copyright file, the changelog, the
# desktop entry, the AppStream metainfo and the icons, and sets up CPack so that `make package`
# builds nokuri_<version>_<arch>.deb.
include(GNUInstallDirs)

set(NOKURI_APPSTREAM_ID io.github.nokuri.nokuri)

install(FILES packaging/nokuri.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${NOKURI_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The same pictures the window and the tray use, under the name the desktop entry gives.
set(nokuri_icon_dir ${PROJECT_SOURCE_DIR}/src/mainwin/icons)
install(FILES ${nokuri_icon_dir}/nokuri.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 16 32 48)
    install(FILES ${nokuri_icon_dir}/nokuri-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME nokuri.png)
endforeach()

# The documents Debian wants of every package: the copyright file in its machine-readable form,
# with the licence text taken from LICENSE, and the changelog, compressed as Debian does it.
set(CPACK_PACKAGE_CONTACT "Nokuri developers <nokuri-devel@users.noreply.github.com>")
set(nokuri_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/nokuri)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" found "${license}")
set(nokuri_copyright "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" license_text "${license}")
string(STRIP "${license_text}" license_text)
# A copyright file's licence text is indented by one space, with "." for an empty line.
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " nokuri_license_text " ${license_text}")
configure_file(packaging/copyright.in copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${nokuri_doc_dir})

find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT changelog.gz
    COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > changelog.gz
    DEPENDS packaging/changelog
    VERBATIM)
add_custom_target(nokuri_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${nokuri_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nokuri)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${NOKURI_USAGE_SUMMARY_EN}")
# Debian shows the description in 80 columns: no line is longer.
set(CPACK_PACKAGE_DESCRIPTION
    "Nokuri keeps notes as tabs: up to 30 tabs of up to 26 entries each, every tab\n\
with its own font, creation date and alarm. It waits in the system tray and\n\
keeps the notes as plain text files in the Japanese code page of the Windows\n\
program of the same name, so that program's notes can be copied over and used\n\
as they are.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the program links; the platform plugin that draws the
# window and the Japanese font are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
include(CPack)
