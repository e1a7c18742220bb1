# Keeping the tables' rows in the results store, without the window.
tester_add_test(test_resultkeeper SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_resultkeeper.cpp LIBS tester_app)
