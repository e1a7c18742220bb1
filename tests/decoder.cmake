# The answer decoder: record answers into display records.
tester_add_test(test_decoder
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_decoder.cpp ${CMAKE_CURRENT_LIST_DIR}/answerbuilder.h
  LIBS tester_data)
