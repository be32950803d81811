# cpack -G DEB: a Debian package of what `cmake --install` installs. The
# dependencies on the libraries the program links come from their own shlibs
# files (dpkg-shlibdeps); what it loads or reads at run time without linking
# is named here.
set(CPACK_PACKAGE_NAME velor-player)
set(CPACK_PACKAGE_VENDOR "VELOR player developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for dash-camera recordings")
set(CPACK_PACKAGE_DESCRIPTION
  "Lists a dash camera's recordings by kind and plays both cameras in step with the sound, \
with the GPS position on a map, the G-sensor curves, frame capture, clip splitting and \
GPS track export.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "VELOR player developers <velor-player@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Fonts asked of fontconfig by name, the map's script library, and Qt's X11
# platform plugin, which is loaded rather than linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-noto-cjk, fonts-noto-core, fonts-liberation2, libjs-openlayers, qt6-qpa-plugins")
# Only the viewer goes into the package, not the developer tools.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};viewer;/")
include(CPack)
