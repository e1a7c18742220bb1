tester_add_test(test_usbdescriptors SOURCES test_usbdescriptors.cpp LIBS tester_link)
tester_add_test(test_libusbtransport SOURCES test_libusbtransport.cpp LIBS tester_link TIMEOUT 60)

# The descriptor readers again under the address sanitizer: a read past the end fails the test.
include(CheckCXXCompilerFlag)
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address")
check_cxx_compiler_flag(-fsanitize=address TESTER_HAVE_ASAN)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(TESTER_HAVE_ASAN)
  tester_add_test(test_usbdescriptors_asan
    SOURCES test_usbdescriptors.cpp ${PROJECT_SOURCE_DIR}/link/usbdescriptors.cpp LIBS Qt5::Core)
  target_include_directories(test_usbdescriptors_asan PRIVATE ${PROJECT_SOURCE_DIR})
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
      -I${PROJECT_SOURCE_DIR}
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
