# The libusb backend's tests against USB devices emulated with umockdev.
if(TARGET tester_usbemu)
  tester_add_test(test_libusb_device SOURCES test_libusb_device.cpp linkfakes.h LIBS tester_link tester_sim TIMEOUT 600)
  tester_link_usb_emulation(test_libusb_device)
endif()
