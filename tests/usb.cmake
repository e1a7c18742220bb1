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

# The Windows backend cannot run here; this builds it, with the frame code and
# a small driver program that exercises it on a real instrument, using the
# MinGW-w64 cross compiler. The program is left as tests/windriver.exe.
find_program(TESTER_MINGW_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
if(TESTER_MINGW_CXX)
  add_test(NAME test_wintransport_crossbuild
    COMMAND ${TESTER_MINGW_CXX} -std=c++17 -O2 -Wall -Wextra -static
      -I${PROJECT_SOURCE_DIR}/link
      ${PROJECT_SOURCE_DIR}/link/wintransport.cpp
      ${PROJECT_SOURCE_DIR}/link/usbdescriptors.cpp
      ${PROJECT_SOURCE_DIR}/link/protocol.cpp
      ${PROJECT_SOURCE_DIR}/link/linktiming.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/wincross/windriver.cpp
      -o ${CMAKE_CURRENT_BINARY_DIR}/windriver.exe
      -lwinusb -lsetupapi)
  set_tests_properties(test_wintransport_crossbuild PROPERTIES TIMEOUT 300)
else()
  message(STATUS "No MinGW-w64 cross compiler: the Windows backend is not built")
endif()
