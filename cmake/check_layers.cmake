# Fails when a folder includes a header of a layer above it, or when a folder that stands apart
# includes any layer. Run by the build (layer_includes_check) with
#   -DSOURCE_DIR=<tree> -DLAYERS=<bottom,...,top> -DAPART=<folder,...>
string(REPLACE "," ";" layers "${LAYERS}")
string(REPLACE "," ";" apart "${APART}")
set(violations)

# Appends to violations every include in folder that names a layer of index above `highest`.
function(check_folder folder highest)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
  foreach(source IN LISTS sources)
    # One list element a line: characters that would split or join elements are masked first.
    file(READ ${SOURCE_DIR}/${source} text)
    foreach(character ";" "[" "]" "\\")
      string(REPLACE "${character}" "_" text "${text}")
    endforeach()
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([A-Za-z_]+)/")
        continue()
      endif()
      list(FIND layers ${CMAKE_MATCH_1} included)
      if(included GREATER highest)
        list(APPEND violations "${source}:${number}: ${line}")
      endif()
    endforeach()
  endforeach()
  set(violations ${violations} PARENT_SCOPE)
endfunction()

set(index 0)
foreach(layer IN LISTS layers)
  check_folder(${layer} ${index})
  math(EXPR index "${index} + 1")
endforeach()
foreach(folder IN LISTS apart)
  check_folder(${folder} -1)
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that point to a higher layer (or from a folder that stands "
    "apart into a layer):\n  ${text}")
endif()
