# The answer decoder: record answers into display records.
tester_add_test(test_decoder SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_decoder.cpp ${CMAKE_CURRENT_LIST_DIR}/answerbuilder.h
                        ${CMAKE_CURRENT_LIST_DIR}/decodedanswer.h
                LIBS tester_data)
if(TESTER_BUILD_FUZZERS)
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/fuzz ${CMAKE_BINARY_DIR}/tests/fuzz)
else()
  # A short bounded fuzz run in a clang build of its own, nested in this build tree.
  find_program(TESTER_CLANGXX clang++-14)
  if(TESTER_CLANGXX)
    add_test(NAME fuzz_answers_bounded COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh ${CMAKE_BINARY_DIR}/fuzz-build)
    set_tests_properties(fuzz_answers_bounded PROPERTIES TIMEOUT 600)
  else()
    message(STATUS "clang++-14 not found: the bounded fuzz run is not registered")
  endif()
endif()
