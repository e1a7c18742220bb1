# The real resistance-tester-cli program against the real simulator program,
# driven by a Python script: exit statuses, signals, and outputs read back by
# Python's own json and csv readers.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME cli_program COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/cli/test_cli.py)
  set_tests_properties(cli_program PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "TESTER_CLI=$<TARGET_FILE:resistance-tester-cli>;TESTER_SIM=$<TARGET_FILE:resistance-tester-sim>")
endif()
