# The script front end: the flex lexer and the bison grammar are generated at
# build time, then the unit loader and the tree walkers.
find_package(FLEX 2.6 REQUIRED)
find_package(BISON 3.8 REQUIRED)

set(mc_generated ${CMAKE_CURRENT_BINARY_DIR}/generated/engine/kernel/Parser)
file(MAKE_DIRECTORY ${mc_generated})
bison_target(script_grammar ${CMAKE_CURRENT_LIST_DIR}/parser_y.y ${mc_generated}/parser_y.cpp
  DEFINES_FILE ${mc_generated}/parser_y.hpp COMPILE_FLAGS "-Wall -Werror")
flex_target(script_lexer ${CMAKE_CURRENT_LIST_DIR}/lexer.l ${mc_generated}/lexer.cpp)
add_flex_bison_dependency(script_lexer script_grammar)

list(APPEND mc_parser_sources
  ${BISON_script_grammar_OUTPUTS}
  ${FLEX_script_lexer_OUTPUTS}
  ${CMAKE_CURRENT_LIST_DIR}/grammar_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lexer_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagnostics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/front_end_trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/statement_positions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unit_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tree_iterator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/param_iterator.cpp)
set(mc_parser_generated_include ${CMAKE_CURRENT_BINARY_DIR}/generated)
