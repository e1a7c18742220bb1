# The language menu and the translators without the window.
tester_add_test(test_languageswitcher
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_languageswitcher.cpp LIBS tester_app tester_resources)
