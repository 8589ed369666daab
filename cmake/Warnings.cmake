# One set of warning flags for the libraries, the programs and the tests.
function(markograph_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(MARKOGRAPH_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
