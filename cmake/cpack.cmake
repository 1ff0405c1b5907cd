# Packages from the install rules (cmake/install.cmake). Natively a Debian
# package of dobrenz: `cpack -G DEB` in the build folder. For Windows the
# release zip, DobrenzData-<version>-win32.zip, with everything in one folder
# of that name: scripts/release.sh makes it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "DobrenzData")
set(CPACK_PACKAGE_CONTACT "DobrenzData developers")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME DobrenzData)
  set(CPACK_PACKAGE_FILE_NAME DobrenzData-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME dobrenz)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "survey data into DobrenzData feature files, on the command line
dobrenz runs the conversions of the DobrenzData plug-in without the host program:
CASS exchange files, EPSW point and annotation files, attribute files and delimited
point text files into feature files (.qel) of the stand-in engine. It prints a
feature file as JSON and plays scripted dialog sessions.")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # The libraries dobrenz links, found by dpkg-shlibdeps.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
