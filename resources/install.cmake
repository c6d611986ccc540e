# What the installation puts on the system: the resources a data folder is set up from, the menu entry,
# the icons, the AppStream data, the man pages, the bash completion, and the copyright file and changelog
# in share/doc/darv2007 as Debian keeps them.

# share/darv2007: the files a data folder's "resources" folder gets (resources/ResourceNames.cpp).
install(FILES
    ${DARV_ART_DIR}/darvlogo.jpg ${DARV_ART_DIR}/darvcheck.jpg ${DARV_ART_DIR}/darvwrong.jpg
    ${DARV_ART_DIR}/darvlogo-print.jpg ${DARV_ART_DIR}/conflict.wav
    text/about.rtf text/Darv2007.rtf text/whatnext.rtf
    DESTINATION ${CMAKE_INSTALL_DATADIR}/darv2007)

install(FILES desktop/darv2007.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${DARV_APP_ID}.desktop)
configure_file(desktop/darv2007.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${DARV_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${DARV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN LISTS DARV_ICON_SIZES)
    install(FILES ${DARV_ART_DIR}/darv2007-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME darv2007.png)
endforeach()
install(FILES ${DARV_ART_DIR}/darv2007.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages carry the version and are compressed, as Debian keeps them.
set(DARV_MAN_PAGES darv2007 darv2007-cli darv2007-install)
set(DARV_MAN_FILES)
foreach(page IN LISTS DARV_MAN_PAGES)
    configure_file(man/${page}.1.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 @ONLY)
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND gzip -9 -n -k -f ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1
        DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 ${CMAKE_CURRENT_SOURCE_DIR}/man/${page}.1.in
        COMMENT "Compressing the man page ${page}(1)"
        VERBATIM)
    list(APPEND DARV_MAN_FILES ${gz})
endforeach()
add_custom_target(darv_man_pages ALL DEPENDS ${DARV_MAN_FILES})
install(FILES ${DARV_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES completion/darv2007-cli.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME darv2007-cli)

# share/doc/darv2007: the copyright file (machine-readable, DEP-5) and the changelog, compressed as
# changelog.gz (a native package's name for it); lintian's override for the help texts in share/darv2007.
configure_file(debian/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/doc/copyright @ONLY)
configure_file(debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
    COMMAND gzip -9 -n -k -f ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in
    COMMENT "Compressing the changelog"
    VERBATIM)
add_custom_target(darv_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME darv2007)
