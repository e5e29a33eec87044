# End-to-end tests: GoogleTest programs cross-built beside Marlo.exe and run under Wine by ctest
# (through CMAKE_CROSSCOMPILING_EMULATOR), inside scripts/wine-session.sh.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(e2e_harness STATIC ${CMAKE_CURRENT_LIST_DIR}/harness.cpp)
target_include_directories(e2e_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/src
                                              ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(e2e_harness PUBLIC gtest gtest_main marlo_win ${marlo_static_link})

# Small programs the tests start: stand-ins for the office's programs, and file holders.
file(GLOB e2e_helper_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/helpers/*.cpp)
set(e2e_helpers)
foreach(source ${e2e_helper_sources})
  get_filename_component(name ${source} NAME_WE)
  list(APPEND e2e_helpers ${name})
  add_executable(${name} WIN32 ${source})
  target_link_libraries(${name} PRIVATE marlo_win ${marlo_static_link})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endforeach()

file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(source ${e2e_test_sources})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE e2e_harness)
  add_dependencies(${name} Marlo ${e2e_helpers})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_desktop)
endforeach()
# The windows' look is checked against the fonts the program picks, and its version resource.
target_link_libraries(window_test PRIVATE marlo_win version)
# Run again on a screen of 120 dots per inch (scripts/test.sh).
set_tests_properties(window_test PROPERTIES LABELS screen)
