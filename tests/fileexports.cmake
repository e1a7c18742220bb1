# PDF reports and Excel workbooks written from the window's data, without the window.
tester_add_test(test_fileexports SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_fileexports.cpp LIBS tester_app)
target_compile_definitions(test_fileexports PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")  # for exportreaders.h
