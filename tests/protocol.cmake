tester_add_test(test_protocol SOURCES test_protocol.cpp LIBS tester_link)
