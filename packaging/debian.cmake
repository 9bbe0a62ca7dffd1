# The Debian package, built by scripts/package.sh with CPack:
# build/harlune_<version>_amd64.deb.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME harlune)
set(CPACK_PACKAGE_VENDOR "Harlune developers")
set(CPACK_PACKAGE_CONTACT "Harlune developers <maintainers@users.noreply.c-seed-c92fc355.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reads a three-channel current instrument on a serial port")
set(CPACK_PACKAGE_DESCRIPTION
  "Harlune finds the serial port a three-channel current instrument answers on,
shows the live currents I1, I2 and I3, reads the groups of readings stored in
the instrument, lists them, and saves them to an Excel workbook.
.
harlune-cli does the same from scripts, cron or CI, without a display: it
finds the instrument, prints live readings, and reads the stored groups into
a workbook or CSV file.
.
The package also holds harlune-sim, a simulated instrument on a
pseudo-terminal, for trying Harlune without the device.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${HARLUNE_HOMEPAGE})
# dpkg-shlibdeps finds the shared libraries the program links, QCustomPlot's
# Qt 6 build (libqcustomplot2.1-qt6) among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by shlibdeps, since Qt loads them at run time: the platform
# plugins, and the SVG icon engine that draws the window icon. The Chinese
# texts need a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-qpa-plugins, libqt6svg6")
# Qt's own dialogs in Chinese; LibreOffice only for saving .xls and .xlsm.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libreoffice-calc-nogui")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# What every Debian package carries in /usr/share/doc/harlune: the copyright
# file, and a changelog whose entry is this version.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/harlune)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${doc_dir})
execute_process(COMMAND date --utc --rfc-email --date ${HARLUNE_RELEASE_DATE}
  OUTPUT_VARIABLE HARLUNE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
set(changelog_dir ${GENERATED_DIR}/debian)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${changelog_dir}/changelog @ONLY)
add_custom_command(OUTPUT ${changelog_dir}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9 -n -f -k changelog
  WORKING_DIRECTORY ${changelog_dir}
  DEPENDS ${changelog_dir}/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${changelog_dir}/changelog.gz)
install(FILES ${changelog_dir}/changelog.gz DESTINATION ${doc_dir})
