# Include trees per library. A library's headers are linked (symbolic links to
# the sources, under their repository paths) into an include tree of its own in
# the build folder, and a source is compiled against the trees of the libraries
# it links and no other: an include of a header from a layer above finds no
# file, so a wrong-way include fails the build.
set(mc_include_root ${CMAKE_BINARY_DIR}/include)
# Links of headers since dropped from a library must not stay visible.
file(REMOVE_RECURSE ${mc_include_root})

# mc_headers(TARGET [PUBLIC header...] [PRIVATE header...] [INTERFACE header...])
# Headers are named relative to the calling folder; each scope gets a tree.
function(mc_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PUBLIC;PRIVATE;INTERFACE")
  foreach(scope PUBLIC PRIVATE INTERFACE)
    if(NOT arg_${scope})
      continue()
    endif()
    set(tree ${mc_include_root}/${target})
    if(scope STREQUAL "PRIVATE")
      set(tree ${tree}.private)
    endif()
    foreach(header ${arg_${scope}})
      cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE source)
      if(NOT EXISTS ${source})
        message(FATAL_ERROR "${target}: no header ${source}")
      endif()
      cmake_path(RELATIVE_PATH source BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE relative)
      cmake_path(GET relative PARENT_PATH folder)
      file(MAKE_DIRECTORY ${tree}/${folder})
      file(CREATE_LINK ${source} ${tree}/${relative} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${tree})
  endforeach()
endfunction()
