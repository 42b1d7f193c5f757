# The core's tests for Windows: cross-built with the core and run by ctest through the toolchain's
# emulator (wine64). GoogleTest is built here for the target from Debian's googletest sources.
set(ORVANTIS_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for the target")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVANTIS_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The fakes and helpers that need no Linux peer (the loopback listener is a POSIX socket peer).
add_library(orvantis_test_support STATIC
  support/fake_discovery.cpp support/fake_host_network.cpp support/fake_host_network_kernel.cpp
  support/test_env.cpp support/test_main.cpp)
target_include_directories(orvantis_test_support PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvantis_test_support PUBLIC orvantis_core gtest gmock PRIVATE orvantis_warnings)
target_compile_definitions(orvantis_test_support PUBLIC
  ORVANTIS_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ORVANTIS_BINARY_DIR="${CMAKE_BINARY_DIR}")

# Core tests that do not run on Windows, by name, with the reason:
set(ORVANTIS_LINUX_ONLY_TESTS
  # they talk to the camera emulator or a loopback peer written with POSIX sockets (the Winsock
  # transport is tested against a Winsock peer in platform_windows)
  camera_http_exchange camera_jobs transport_shutdown
  # the Linux back ends themselves: getifaddrs and IP_PKTINFO, rtnetlink, /etc and /run files
  discovery_linux rtnetlink hostnet_files
  # POSIX signals raised at the process; the console's events are Windows' (platform_windows)
  signal_cleanup hostnet_owner
  # POSIX modes, owners and symbolic links of the saved file; the Windows writer is tested in
  # platform_windows
  i18n_ini)

# One program for all of them: a static Windows program takes long to link, thirty of them longer
# than the whole test run. Its output names every suite and test that ran.
file(GLOB CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/core/*_test.cpp)
file(GLOB WINDOWS_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/windows/*_test.cpp)
foreach(src ${CORE_TESTS})
  get_filename_component(stem ${src} NAME_WE)
  string(REGEX REPLACE "_test$" "" module ${stem})
  if(NOT module IN_LIST ORVANTIS_LINUX_ONLY_TESTS)
    list(APPEND WINDOWS_TEST_SOURCES ${src})
  endif()
endforeach()
add_executable(core_tests ${WINDOWS_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE orvantis_test_support orvantis_warnings)
# The Windows tests see the system headers as the core's back ends do.
target_compile_definitions(core_tests PRIVATE ORVANTIS_TEST_PROGRAM="core_tests.exe"
  _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
add_test(NAME core_tests COMMAND core_tests)
set_tests_properties(core_tests PROPERTIES LABELS unit TIMEOUT 900)
add_custom_target(unit_tests)
add_dependencies(unit_tests core_tests orvantis-cli orvantis_language)
