# Installing, and the Debian package made from the install.
#
# The programs go to bin; the desktop entry, the metainfo and the icons where the freedesktop
# conventions want them; the wave files and the help pages to share/ringtally, which the program
# finds as ../share/ringtally from its own folder (ProgramFolder::shippedData).
include(GNUInstallDirs)

install(TARGETS ringtally ringtally-tray ringtally-price ringtally-demo-line RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(resources "${PROJECT_SOURCE_DIR}/resources")
# The manual page, compressed as Debian keeps them.
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/ringtally.1.gz"
  COMMAND gzip -9nc "${resources}/ringtally.1" > "${PROJECT_BINARY_DIR}/ringtally.1.gz"
  DEPENDS "${resources}/ringtally.1" VERBATIM)
add_custom_target(ringtally_manual ALL DEPENDS "${PROJECT_BINARY_DIR}/ringtally.1.gz")
install(FILES "${PROJECT_BINARY_DIR}/ringtally.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${resources}/${RINGTALLY_APP_ID}.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${resources}/${RINGTALLY_APP_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# ringtally (offline, also the program's icon) and ringtally-online, at every size and scalable.
install(DIRECTORY "${resources}/icons/hicolor" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(DIRECTORY "${resources}/sounds/" DESTINATION ${CMAKE_INSTALL_DATADIR}/ringtally/sounds
        FILES_MATCHING PATTERN "*.wav")
# The help pages' place, and the pages once there are any.
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/ringtally/help)
install(DIRECTORY "${resources}/help/" DESTINATION ${CMAKE_INSTALL_DATADIR}/ringtally/help OPTIONAL)

# The Debian package: scripts/package. Its dependencies are what the programs link (dpkg-shlibdeps),
# and libcanberra0, which the sound player loads only when it plays (dlopen), so no link shows it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ringtally)
set(CPACK_PACKAGE_VENDOR "Ringtally Developers")
set(CPACK_PACKAGE_CONTACT "Ringtally Developers <dev@ringtally.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray dialer and call-cost meter")
set(CPACK_PACKAGE_DESCRIPTION "Ringtally sits in the system tray, dials one of three tariff schemes (or notices
a connection another dialer made), meters the call second by second by the
scheme's tariff, and shows the time and price of the call, of the day and of
all time. Every call is logged; a daily limit warns before the bill runs away.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcanberra0")
# Dialing needs pppd and chat; sounds on a PulseAudio or PipeWire desktop its libcanberra backend;
# help and the log open with the desktop's handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ppp, libcanberra-pulse, xdg-utils, qt6-translations-l10n")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
