# MC_SANITIZE=address,undefined or thread: instruments every target.
if(MC_SANITIZE)
  set(mc_sanitize_flags -fsanitize=${MC_SANITIZE} -fno-omit-frame-pointer)
  if(MC_SANITIZE MATCHES "undefined")
    list(APPEND mc_sanitize_flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${mc_sanitize_flags})
  add_link_options(${mc_sanitize_flags})
endif()

# Fuzzing instruments every target for coverage; the fuzz target links libFuzzer.
if(MC_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
