# The Debian package (scripts/package). Its version is the one the banner
# shows (cmake/version.cmake).
include(${CMAKE_SOURCE_DIR}/cmake/version.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mpsmerge)
set(CPACK_PACKAGE_VERSION ${MPS_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "System Testing Report Generator of MIRVA ProbeSuite")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "mpsmerge pairs the RIO traces and TDC test descriptions of a system test\n"
  "run, has the toolchain's post-processor turn every RIO trace into a ROD\n"
  "report, merges all ROD reports onto one time base into one RDD report,\n"
  "then runs the toolchain's report bridge on it.\n"
  "\n"
  "mpsrdd shows any RDD report as a timeline page, gives its verdicts to\n"
  "CI servers as JUnit XML, compares two runs and prints a summary.\n"
  "\n"
  "The post-processor and the report bridge are not part of this package.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "MIRVA ProbeSuite developers <mpsmerge@mirva-probesuite.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debian wants the manual page and the changelog compressed in the package.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_staging.cmake)
include(CPack)
