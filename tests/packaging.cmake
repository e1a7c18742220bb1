# The Debian package, built from this tree with cpack and checked.
if(TARGET resistance-tester-usbprobe)
  add_test(NAME test_package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check_package.sh ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR}
            $<TARGET_EXISTS:resistance-tester-cli>)
  set_tests_properties(test_package PROPERTIES TIMEOUT 300)
endif()
