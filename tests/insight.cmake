# The trend chart and panel, the balance summary and its workbook.
tester_add_test(test_insight SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_insight.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h LIBS tester_insight)
