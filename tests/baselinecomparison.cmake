# The baseline tab over a results store of its own, and the baseline dialog.
tester_add_test(test_baselinecomparison SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_baselinecomparison.cpp
                ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h LIBS tester_app)
