# The test-page switch without the window.
tester_add_test(test_pageswitcher SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_pageswitcher.cpp LIBS tester_app)
