# USB devices emulated with umockdev, and the libusb backend's tests against them.
pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
add_library(tester_usbemu STATIC usbemu/emulatedusb.cpp usbemu/emulatedusb.h usbemu/descriptorbytes.h)
target_include_directories(tester_usbemu PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/usbemu)
target_link_libraries(tester_usbemu PUBLIC PkgConfig::UMOCKDEV tester_sim)

# tester_link_usb_emulation(<target>): the umockdev preload library linked in
# (kept though nothing names it), so that the device nodes are emulated without
# a wrapper program or environment.
function(tester_link_usb_emulation target)
  target_link_libraries(${target} PRIVATE tester_usbemu
    "-Wl,--push-state,--no-as-needed" umockdev-preload "-Wl,--pop-state")
endfunction()

tester_add_test(test_libusb_device SOURCES test_libusb_device.cpp linkfakes.h LIBS tester_link tester_sim TIMEOUT 600)
tester_link_usb_emulation(test_libusb_device)

# The benchmark of a full read-out over the emulated device, built here beside
# its emulation library and left with the other benchmarks.
add_executable(bench-usb-import ${PROJECT_SOURCE_DIR}/bench/bench_usb_import.cpp)
target_link_libraries(bench-usb-import PRIVATE tester_link tester_sim)
tester_link_usb_emulation(bench-usb-import)
set_target_properties(bench-usb-import PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
