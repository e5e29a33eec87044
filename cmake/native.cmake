# Native build: unit tests of the core against fakes, and its benchmarks.
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
  target_link_libraries(core_benchmarks PRIVATE marlo_core benchmark::benchmark_main)
endif()
