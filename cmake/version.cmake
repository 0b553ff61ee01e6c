# The version the banner shows, read from the banner's source so that the
# package and mpsrdd --version cannot differ from it.
set(MPS_BANNER_SOURCE ${CMAKE_SOURCE_DIR}/src/driver/banner.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MPS_BANNER_SOURCE})
file(STRINGS ${MPS_BANNER_SOURCE} version_line REGEX "VERSION_TEXT\\[\\] = \"[0-9.]+\"")
if(NOT version_line MATCHES "\"([0-9.]+)\"")
  message(FATAL_ERROR "no VERSION_TEXT in ${MPS_BANNER_SOURCE}")
endif()
set(MPS_VERSION ${CMAKE_MATCH_1})
