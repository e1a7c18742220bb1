# The bash completion of resistance-tester-cli, sourced and driven as bash drives it.
add_test(NAME test_cli_completion
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check_completion.sh
          ${PROJECT_SOURCE_DIR}/packaging/linux/resistance-tester-cli.bash-completion)
