# The edit mode of the instrument settings on the window's form.
tester_add_test(test_settingseditor SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_settingseditor.cpp LIBS tester_app)
