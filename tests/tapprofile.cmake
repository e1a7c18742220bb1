# The resistance against tap position and its marked steps.
tester_add_test(test_tapprofile SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_tapprofile.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h LIBS tester_analysis)
