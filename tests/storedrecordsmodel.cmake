# The stored-data table's model: one row shape whatever the source.
tester_add_test(test_storedrecordsmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_storedrecordsmodel.cpp LIBS tester_data)
