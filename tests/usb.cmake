# The libusb backend's descriptor readers and paths, and the Windows backend's cross-build.
tester_add_test(test_usbdescriptors SOURCES test_usbdescriptors.cpp usbdescriptorbuilders.h LIBS tester_link)
tester_add_test(test_libusbtransport SOURCES test_libusbtransport.cpp LIBS tester_link TIMEOUT 60)

# The descriptor readers once more, built with the address sanitizer, so that a
# length field that sends a reader past the end of its bytes fails the test.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=address")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address")
check_cxx_source_compiles("int main() { return 0; }" TESTER_HAVE_ASAN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(TESTER_HAVE_ASAN)
  tester_add_test(test_usbdescriptors_asan
    SOURCES test_usbdescriptors.cpp usbdescriptorbuilders.h ${PROJECT_SOURCE_DIR}/link/usbdescriptors.cpp
    LIBS Qt5::Core)
  target_include_directories(test_usbdescriptors_asan PRIVATE ${PROJECT_SOURCE_DIR}/link)
  target_compile_options(test_usbdescriptors_asan PRIVATE -fsanitize=address -fno-omit-frame-pointer)
  target_link_options(test_usbdescriptors_asan PRIVATE -fsanitize=address)
endif()
