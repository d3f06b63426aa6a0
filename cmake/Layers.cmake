# Folders are the layers. Bottom to top: ui (the Qt-free window models), settings, cmdline, jobs,
# app (the batch driver and what both programs share at start), gui (the Qt views and the GUI's
# entry point); tracklens and transcoder stand apart.
#
# Sources write includes with their folder ("jobs/job_queue.h"). Each layer's library exports an
# include directory that holds nothing but a link to its own folder, so such an include compiles
# only in code that links that layer: an include of a higher layer fails to compile. The build
# also runs check_layers.cmake, which names the file and line of any include that points upward.
set(CANTOVA_LAYERS ui settings cmdline jobs app gui)

# Gives target the public include directory of the layer in folder (a folder of the source tree).
function(cantova_layer_headers target folder)
  set(root ${CMAKE_BINARY_DIR}/layer-headers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
endfunction()

function(cantova_add_layer_check)
  string(REPLACE ";" "," layers "${CANTOVA_LAYERS}")
  add_custom_target(layer_includes_check ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DLAYERS=${layers}
      -DAPART=tracklens,transcoder -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    # The transcoder's parts are layers of their own, bottom to top.
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/transcoder
      -DLAYERS=command,files,sound,engines -DAPART= -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking that no layer includes a higher one"
    VERBATIM)
endfunction()
