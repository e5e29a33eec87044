# Native build: unit tests of the core against fakes, and its benchmarks; with MARLO_FUZZ, its
# libFuzzer targets instead.
option(MARLO_FUZZ "Build the libFuzzer targets (clang)" OFF)
set(MARLO_FUZZ_SECONDS 15 CACHE STRING "How long the test run fuzzes each target")
if(MARLO_FUZZ)
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
  target_compile_options(marlo_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  foreach(source ${fuzz_sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE marlo_core)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/unit)
    # New inputs go to the build tree; the seeds in the repo are only read.
    set(found_dir ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${found_dir})
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${MARLO_FUZZ_SECONDS} -max_len=4096
                                  ${found_dir} ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB unit_test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${unit_test_sources})
target_link_libraries(unit_tests PRIVATE marlo_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(unit_tests NO_PRETTY_VALUES)

find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB benchmark_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/*.cpp)
  add_executable(core_benchmarks ${benchmark_sources})
  target_link_libraries(core_benchmarks PRIVATE marlo_core benchmark::benchmark)
  target_include_directories(core_benchmarks PRIVATE ${PROJECT_SOURCE_DIR}/tests/unit)
endif()

# Includes run downward only: the platform layer knows nothing above it, and what a start works
# out knows nothing of the windows.
add_test(NAME includes_run_downward COMMAND sh -c
  "! grep -rnE '#include \"(main_window|options|launch)/' platform && ! grep -rnE '#include \"(main_window|options)/' launch"
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/src)
