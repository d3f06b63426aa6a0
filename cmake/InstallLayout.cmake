# Where `cmake --install build --prefix P` puts things: the GNU folders below P, with the
# libraries in the multiarch folder P/lib/<triplet> whatever the prefix (GNUInstallDirs would pick
# it for /usr only, and a package's config file that includes GNUInstallDirs first would leave
# plain "lib" in the cache), and the programs in their own folder P/lib/cantova, where the
# transcoder keeps its place in Cantova/ next to the front ends.
include(GNUInstallDirs)
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
  set(CMAKE_INSTALL_FULL_LIBDIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
endif()
set(CANTOVA_PROGRAM_DIR "lib/cantova")
