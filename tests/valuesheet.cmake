# The values sheet of every kind of workbook, read back by openpyxl and by the
# spreadsheet program's own conversion to CSV.
tester_add_test(test_valuesheet
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_valuesheet.cpp
  LIBS tester_reports tester_resources
  TIMEOUT 300)
target_compile_definitions(test_valuesheet PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")
