# The live trend, the kept traces and the balance summary in the main window,
# against the simulated instrument; the balance workbook read back with openpyxl.
tester_add_test(test_window_insight
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_insight.cpp ${CMAKE_CURRENT_LIST_DIR}/exportreaders.h
          ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 240)
target_compile_definitions(test_window_insight PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")
