# The expression layer of mc_parser: the node base, the operator catalogue,
# selection, extraction and the vector constructors.
list(APPEND mc_parser_sources
  ${CMAKE_CURRENT_LIST_DIR}/node.cpp
  ${CMAKE_CURRENT_LIST_DIR}/node_children.cpp
  ${CMAKE_CURRENT_LIST_DIR}/operators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/node_select.cpp
  ${CMAKE_CURRENT_LIST_DIR}/node_extract.cpp
  ${CMAKE_CURRENT_LIST_DIR}/node_vec.cpp)
