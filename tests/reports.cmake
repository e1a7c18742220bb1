# The PDF report, the Excel workbooks and the report header dialog, read back
# with independent tools (poppler's pdfinfo, pdftotext, pdffonts; openpyxl of
# the distribution's Python); then the same through the main window.
tester_add_test(test_reports
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_reports.cpp ${CMAKE_CURRENT_LIST_DIR}/exportreaders.h
  LIBS tester_app
  TIMEOUT 180)
target_compile_definitions(test_reports PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")
tester_add_test(test_window_reports
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_reports.cpp ${CMAKE_CURRENT_LIST_DIR}/exportreaders.h
          ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
target_compile_definitions(test_window_reports PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")
