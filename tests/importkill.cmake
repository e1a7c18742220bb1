# A window killed right after it showed an import complete, in a child process.
tester_add_test(test_import_kill
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_import_kill.cpp ${PROJECT_SOURCE_DIR}/testsupport/windowrig.h
  LIBS tester_app tester_sim tester_resources
  TIMEOUT 120)
