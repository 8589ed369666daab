# Lists the tests of a test program from two runs and fails when the names
# differ, or when a name shows the raw bytes of a value ("N-byte object <")
# or a pointer (" pointing to ", a long "0x..."): such names change from run to run
# and from build to build, and ctest names its tests after them.
# What follows '#' on a line (gtest's print of the parameter) is no part of
# the name: the tests are registered with NO_PRETTY_VALUES.
# Usage: cmake -DPROGRAM=<test program> -P stable_test_names.cmake
foreach(run 1 2)
  execute_process(COMMAND ${PROGRAM} --gtest_list_tests
    OUTPUT_VARIABLE list RESULT_VARIABLE result TIMEOUT 60)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed: ${result}")
  endif()
  string(REGEX REPLACE " +#[^\n]*" "" names${run} "${list}")
endforeach()
if(NOT names1 STREQUAL names2)
  message(FATAL_ERROR "Test names differ between two runs of ${PROGRAM}:\n${names1}\n---\n${names2}")
endif()
string(REGEX MATCHALL "[^\n]*(-byte object <| pointing to |0x[0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])[^\n]*" unstable "${names1}")
if(unstable)
  list(JOIN unstable "\n" lines)
  message(FATAL_ERROR "Tests named after raw bytes or pointers (give them a name generator):\n${lines}")
endif()
string(REGEX MATCHALL "\n  [^\n]+" tests "${names1}")
list(LENGTH tests count)
message(STATUS "${count} test names, the same in two runs")
