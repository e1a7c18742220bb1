# The automatic test series without the window.
tester_add_test(test_autoseries SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_autoseries.cpp LIBS tester_app)
