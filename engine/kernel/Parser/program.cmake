# The program structure of a script: variables, sorted variable tables,
# statements, subtrees, units and the parse context.
list(APPEND mc_parser_sources
  ${CMAKE_CURRENT_LIST_DIR}/variable_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/variable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/var.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statements.cpp
  ${CMAKE_CURRENT_LIST_DIR}/subtree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/context.cpp)
