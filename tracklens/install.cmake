# The library for other programs: libtracklens.so.1 with its development link, the header as
# <tracklens/tracklens.h>, a pkg-config file and a CMake package (tracklens::tracklens).
include(CMakePackageConfigHelpers)
set(TRACKLENS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tracklens)

install(TARGETS tracklens EXPORT tracklensTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
set_property(TARGET tracklens PROPERTY CANTOVA_INSTALLED ON)
install(FILES tracklens.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tracklens)

install(EXPORT tracklensTargets NAMESPACE tracklens:: DESTINATION ${TRACKLENS_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tracklensConfigVersion.cmake
  VERSION ${TRACKLENS_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES tracklensConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/tracklensConfigVersion.cmake
  DESTINATION ${TRACKLENS_CMAKE_DIR})

# The prefix is known only when installing (cmake --install --prefix, or the package's /usr).
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"${CMAKE_INSTALL_LIBDIR}\")
  set(includedir \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(version \"${TRACKLENS_VERSION}\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/tracklens.pc.in\"
    \"${CMAKE_CURRENT_BINARY_DIR}/tracklens.pc\" @ONLY)
")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tracklens.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
