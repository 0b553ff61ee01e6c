# Install layout. An installed prefix P is a toolchain directory for the
# message machinery: VARNETDIR=P finds the translations in P/lib/locale. The
# stand-ins are installed only on request (component "standins"), in a
# directory of their own that MPS_DIR can name.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS mpsmerge mpsrdd RUNTIME DESTINATION bin)
install(FILES ${MPS_QM_FILES} DESTINATION lib/locale)
foreach(program mpsmerge mpsrdd)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/${program}.1 DESTINATION share/man/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${program}.bash-completion
    DESTINATION share/bash-completion/completions RENAME ${program})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/failures.md
  ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/mpsmerge)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION share/doc/mpsmerge/examples)

install(TARGETS mpspostpro mpsuml RUNTIME DESTINATION lib/mpsmerge/standins
  COMPONENT standins EXCLUDE_FROM_ALL)
