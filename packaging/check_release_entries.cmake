# A new version needs its release entries: the Debian changelog's first entry and the AppStream
# metainfo's first release name VERSION. Takes VERSION, CHANGELOG and METAINFO.
file(STRINGS ${CHANGELOG} changelogHead LIMIT_COUNT 1)
if(NOT changelogHead MATCHES "^cantova \\(([^)]+)\\) " OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${CHANGELOG} starts with '${changelogHead}', not an entry for ${VERSION}")
endif()
file(READ ${METAINFO} metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\"" OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "the first release of ${METAINFO} is '${CMAKE_MATCH_1}', not ${VERSION}")
endif()
