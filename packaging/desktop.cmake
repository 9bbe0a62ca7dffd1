# Installs what makes Harlune a desktop program on Linux: the menu entry, the
# icon, the AppStream metainfo, the man pages and the licence.

install(FILES ${CMAKE_CURRENT_LIST_DIR}/${HARLUNE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/harlune.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${HARLUNE_APP_ID}.svg)

set(metainfo ${GENERATED_DIR}/${HARLUNE_APP_ID}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/${HARLUNE_APP_ID}.metainfo.xml.in ${metainfo} @ONLY)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages are installed compressed, without a time stamp in the gzip
# header, so that the same sources give the same package.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_dir ${GENERATED_DIR}/man)
set(man_pages)
foreach(page harlune harlune-cli harlune-sim)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${page}.1.in ${man_dir}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${man_dir}/${page}.1.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${page}.1
    WORKING_DIRECTORY ${man_dir}
    DEPENDS ${man_dir}/${page}.1)
  list(APPEND man_pages ${man_dir}/${page}.1.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/harlune)
