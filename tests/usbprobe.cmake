if(TARGET resistance-tester-usbprobe)
  tester_add_test(test_usbprobe SOURCES test_usbprobe.cpp LIBS tester_usbdescriptors Qt5::Core)
  target_compile_definitions(test_usbprobe PRIVATE USBPROBE_PROGRAM="$<TARGET_FILE:resistance-tester-usbprobe>")
endif()
