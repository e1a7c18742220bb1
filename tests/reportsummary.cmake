# The summary pages of the PDF report and the page footers, read back with
# poppler's pdftotext, in both languages.
tester_add_test(test_reportsummary
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_reportsummary.cpp ${CMAKE_CURRENT_LIST_DIR}/exportreaders.h
  LIBS tester_app tester_resources
  TIMEOUT 180)
target_compile_definitions(test_reportsummary PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")  # for exportreaders.h
