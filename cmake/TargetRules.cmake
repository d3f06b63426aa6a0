# Rules that hold for every target of the project, applied by cantova_apply_target_rules() once
# all folders have defined theirs:
# - everything compiled gets the project's warnings from the interface target cantova_warnings,
#   so that they reach the project's own code and nothing it exports to other builds;
# - every program and shared library either has an install rule (target property
#   CANTOVA_INSTALLED, set next to its install()) or is a test tool (directory property
#   CANTOVA_TEST_TOOLS, set in its folder or a parent folder).

add_library(cantova_warnings INTERFACE)
target_compile_options(cantova_warnings INTERFACE
  -Wall -Wextra -Wpedantic $<$<BOOL:${CANTOVA_WERROR}>:-Werror>)

define_property(TARGET PROPERTY CANTOVA_INSTALLED
  BRIEF_DOCS "The target has an install rule.")
define_property(DIRECTORY PROPERTY CANTOVA_TEST_TOOLS INHERITED
  BRIEF_DOCS "The programs and libraries of this folder and its subfolders serve the tests only.")
define_property(TARGET PROPERTY CANTOVA_TEST_TOOLS INHERITED
  BRIEF_DOCS "The target serves the tests only (inherited from its folder).")

function(_cantova_targets_below directory result)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    _cantova_targets_below(${subdirectory} below)
    list(APPEND targets ${below})
  endforeach()
  set(${result} ${targets} PARENT_SCOPE)
endfunction()

function(cantova_apply_target_rules)
  _cantova_targets_below(${CMAKE_SOURCE_DIR} targets)
  set(unaccounted)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE cantova_warnings)
    endif()
    if(type MATCHES "^(SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
      get_property(installed TARGET ${target} PROPERTY CANTOVA_INSTALLED)
      get_property(testTool TARGET ${target} PROPERTY CANTOVA_TEST_TOOLS)
      if(NOT installed AND NOT testTool)
        list(APPEND unaccounted ${target})
      endif()
    endif()
  endforeach()
  if(unaccounted)
    message(FATAL_ERROR "Programs and libraries with neither an install rule nor a place among "
      "the test tools: ${unaccounted}. Install them (and set CANTOVA_INSTALLED) or define them "
      "in a folder whose CANTOVA_TEST_TOOLS directory property is set.")
  endif()
endfunction()
