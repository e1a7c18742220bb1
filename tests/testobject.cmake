# The object under test: its fields on both pages, the rows and sessions kept
# with it, the history's filter and the report's header (read with pdftotext).
tester_add_test(test_testobject SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_testobject.cpp LIBS tester_app)
target_compile_definitions(test_testobject PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")  # for exportreaders.h
