# The settings files: values read into range, and the folder they live in.
tester_add_test(test_settingsfiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_settingsfiles.cpp LIBS tester_store)
