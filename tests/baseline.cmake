# Baseline files (CSV and workbooks) and the deviation of each DC row from its reference.
tester_add_test(test_baseline SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_baseline.cpp ${CMAKE_CURRENT_LIST_DIR}/dcresultcells.h
                LIBS tester_analysis PkgConfig::MINIZIP)
