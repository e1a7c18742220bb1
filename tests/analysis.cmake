# Stability, traces, three-phase balance and the temperature cross-check.
tester_add_test(test_analysis SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_analysis.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h LIBS tester_analysis)
