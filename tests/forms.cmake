# The forms, their pictures and the dialogs.
tester_add_test(test_mainwindowform SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_mainwindowform.cpp LIBS tester_forms tester_resources)
tester_add_test(test_formresources SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_formresources.cpp LIBS tester_resources Qt5::Gui)
target_compile_definitions(test_formresources PRIVATE FORMS_DIR="${PROJECT_SOURCE_DIR}/forms")
tester_add_test(test_dialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_dialogs.cpp LIBS tester_dialogs)
