# The main window against simulated instruments in the same process.
tester_add_test(test_window
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 180)
tester_add_test(test_window_import
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_import.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 120)
tester_add_test(test_window_link
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_window_link.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 120)
