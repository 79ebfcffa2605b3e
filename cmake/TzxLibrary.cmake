# tzx_library(name SOURCES ...): the library's core as a static library
# `<name>_core` (for unit tests) and the plug-in `<name>.tzx` that exports only
# the six entry points.
function(tzx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name}_core STATIC ${ARG_SOURCES})
  # The core's own headers stay its own: tests and benchmarks name them by
  # their folder ("graphics/src/bitmaps.h"), so that headers of the same name
  # in two libraries never stand in for each other.
  target_include_directories(${name}_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  # Users of the core outside the plug-in (unit tests) link tzx_frame themselves.
  target_link_libraries(${name}_core PUBLIC tzx_headers ${ARG_LIBS})

  add_library(${name} SHARED src/library.cpp)
  # The plug-in sees what its core sees.
  target_include_directories(${name} PRIVATE $<TARGET_PROPERTY:${name}_core,INCLUDE_DIRECTORIES>)
  # The entry points must be in every plug-in even when nothing else uses them.
  target_link_libraries(${name} PRIVATE ${name}_core "$<LINK_LIBRARY:WHOLE_ARCHIVE,tzx_frame>")
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".tzx" OUTPUT_NAME ${name})
  target_link_options(${name} PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/frame/exports.map -Wl,--no-undefined)
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/frame/exports.map)
endfunction()
