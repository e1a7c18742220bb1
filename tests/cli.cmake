# The real resistance-tester-cli program against the real simulator program,
# driven by a Python script: exit statuses, signals, and outputs read back by
# Python's json and csv and by openpyxl of the distribution's Python (see
# CMakeLists.txt).
add_test(NAME cli_program COMMAND ${TESTER_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/cli/test_cli.py)
set_tests_properties(cli_program PROPERTIES
  TIMEOUT 300
  ENVIRONMENT "TESTER_CLI=$<TARGET_FILE:resistance-tester-cli>;TESTER_SIM=$<TARGET_FILE:resistance-tester-sim>")

# Fills the results store for the history commands.
add_executable(cli-fill-store ${CMAKE_CURRENT_LIST_DIR}/cli/fillstore.cpp)
target_link_libraries(cli-fill-store PRIVATE tester_store)
set_property(TEST cli_program APPEND PROPERTY ENVIRONMENT "TESTER_FILL_STORE=$<TARGET_FILE:cli-fill-store>")
