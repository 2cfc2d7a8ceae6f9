# Warning flags for every target of the project (mc_warnings).
add_library(mc_warnings INTERFACE)
target_compile_options(mc_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
if(MC_WERROR)
  target_compile_options(mc_warnings INTERFACE -Werror)
endif()
