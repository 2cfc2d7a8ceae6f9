# The allocation layer of mc_parser: the node pool, the list node pools and the
# text archive that writes serialized trees as readable lines.
list(APPEND mc_parser_sources
  ${CMAKE_CURRENT_LIST_DIR}/node_pool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_pool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_archive.cpp)
