# One helper owns how a test executable is built and registered.
if(CMAKE_CROSSCOMPILING)
  # No GoogleTest is packaged for the cross compiler: Debian's googletest package ships the
  # sources, built here for the target.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(rinvo_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  rinvo_set_warnings(${name})
  if(CMAKE_CROSSCOMPILING)
    # One run of the whole executable through the emulator (Wine); a run per case would start
    # Wine a hundred times.
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# Qt Test executables for the windows; they run on the offscreen platform, so no display is
# needed, and never block on a real modal box. With WINDOW_MANAGER a test runs instead on the X
# server of xvfb-run under a real window manager, and is skipped where those are missing.
function(rinvo_add_qtest name)
  cmake_parse_arguments(ARG "WINDOW_MANAGER" "" "SOURCES;LIBRARIES" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  rinvo_set_warnings(${name})
  if(ARG_WINDOW_MANAGER)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24"
      sh ${PROJECT_SOURCE_DIR}/tests/ui/with-window-manager.sh $<TARGET_FILE:${name}>)
    # The X libraries keep what they allocate to the end, which the leak checker would report.
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77
      ENVIRONMENT "QT_QPA_PLATFORM=xcb;ASAN_OPTIONS=detect_leaks=0")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
