# Desktop integration and the Debian package. The program and its help document are installed
# by src/ and help/; this adds the desktop entry, the AppStream metainfo and the icons, and sets
# up CPack so that `make package` builds nokuri_<version>_<arch>.deb.
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nokuri)
set(CPACK_PACKAGE_CONTACT "Nokuri developers <nokuri-devel@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tabbed sticky notes that wait in the system tray")
set(CPACK_PACKAGE_DESCRIPTION
    "Nokuri keeps notes as tabs: up to 30 tabs of up to 26 entries each, every tab with its own\n\
font, creation date and alarm. It waits in the system tray and keeps the notes as plain\n\
text files in the Japanese code page of the Windows program of the same name, so that\n\
program's notes can be copied over and used as they are.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the program links; the platform plugin that draws the
# window and the Japanese font are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk")
include(CPack)
