# find_package(tracklens): the imported target tracklens::tracklens.
include("${CMAKE_CURRENT_LIST_DIR}/tracklensTargets.cmake")
