# Installs like a desktop program: the two programs, the help pages beside the
# viewer's data, the desktop entry, the album MIME type, the icons in the
# hicolor sizes and scalable, and the thumbnailer; `cpack -G DEB` packs the same.
include(GNUInstallDirs)

install(TARGETS neridal neridal-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/neridal/help)
install(FILES ${CMAKE_SOURCE_DIR}/data/neridal.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/neridal-album.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/data/neridal.thumbnailer
        DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
include(cmake/NeridalIcons.cmake)

set(CPACK_PACKAGE_NAME neridal)
set(CPACK_PACKAGE_VENDOR "NERIDAL")
set(CPACK_PACKAGE_CONTACT "neridal maintainers <neridal@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for construction-photo album documents (PXA, PXB, PXC, PXD)")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-liberation2, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
