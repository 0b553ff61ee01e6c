# Run by CPack on its staging tree before it builds the package: Debian wants
# the manual pages compressed and a changelog in the documentation directory.
# gzip -n keeps the file name and time out of the archives, so that they
# depend on their content only.
set(usr ${CPACK_TEMPORARY_DIRECTORY}/usr)
find_program(GZIP gzip REQUIRED)

execute_process(COMMAND ${GZIP} -9nf ${usr}/share/man/man1/mpsmerge.1 ${usr}/share/man/man1/mpsrdd.1
  COMMAND_ERROR_IS_FATAL ANY)

string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(changelog ${usr}/share/doc/mpsmerge/changelog)
file(WRITE ${changelog}
  "mpsmerge (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
  "  * Built from the sources of this version.\n\n"
  " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
execute_process(COMMAND ${GZIP} -9nf ${changelog} COMMAND_ERROR_IS_FATAL ANY)
