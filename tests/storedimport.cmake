# The stored-data import's state machine, without the window and the link.
tester_add_test(test_storedimport SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_storedimport.cpp LIBS tester_app)
