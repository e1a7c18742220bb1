# The results store on its own, with child processes of the same executable.
find_package(Qt5 5.15 REQUIRED COMPONENTS Sql)
tester_add_test(test_store SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_store.cpp LIBS tester_store Qt5::Sql TIMEOUT 120)
# The main window keeping its tables' rows.
tester_add_test(test_window_store
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_store.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
# Workbooks of the history are read back with openpyxl of the distribution's Python.
find_program(TESTER_SYSTEM_PYTHON python3 REQUIRED)
target_sources(test_window_store PRIVATE ${CMAKE_CURRENT_LIST_DIR}/exportreaders.h ${PROJECT_SOURCE_DIR}/testsupport/fakedesktopfiles.h)
target_compile_definitions(test_window_store PRIVATE SYSTEM_PYTHON="${TESTER_SYSTEM_PYTHON}")
# The stored-data import kept a slice at a time.
tester_add_test(test_importkeeper SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_importkeeper.cpp LIBS tester_app Qt5::Sql)
