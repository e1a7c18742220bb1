# The tap profile tab: its chart, its named steps, the reference values and earlier sessions.
tester_add_test(test_tapprofilepanel SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_tapprofilepanel.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h LIBS tester_insight)
