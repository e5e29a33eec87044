# Windows build: Marlo.exe, and the end-to-end tests that drive it under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# A self-contained exe: static runtime, nothing to load beside it.
set(marlo_static_link -static -static-libgcc -static-libstdc++)
add_compile_options(-ffunction-sections -fdata-sections)
target_compile_options(marlo_core PRIVATE -ffunction-sections -fdata-sections)

# One commit gives the same exe, byte for byte, in any folder and at any time
# (scripts/release.sh --check): the source and build folders are left out of every path the
# compiler writes (__FILE__, debug information), the build folder's mapping last as it may lie
# inside the source folder and the last match is taken; and the linker writes 0 for the header's
# link time, on which the header's checksum depends too. windres writes 0 for the resources' time
# already.
set(marlo_reproducible_compile
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
add_compile_options(${marlo_reproducible_compile})
target_compile_options(marlo_core PRIVATE ${marlo_reproducible_compile})
add_link_options(-Wl,--no-insert-timestamp)

# Of the static runtime, the exe keeps what it needs. An exception nothing catches ends the
# program; the runtime's default way of doing so prints the exception's type first, through its
# C++ name demangler (47 KB, with the printing it brings in), to a console a window program does
# not have. The exe ends the same way without printing (abort, which that handler calls last).
set(marlo_runtime_link
  -Wl,--defsym,_ZN9__gnu_cxx27__verbose_terminate_handlerEv=abort)
# Code that runs once, or on a click, and not on the way to the menu on screen is built for size;
# the start-up path (reading and decoding the list, filling the menu) is built for speed.
set_source_files_properties(
  src/main_window/start_log.cpp
  src/platform/paths.cpp
  src/main_window/master_start_mode.cpp
  src/main_window/master_start.cpp
  src/launch/start_program.cpp
  src/launch/start_plan.cpp
  src/launch/program_looks.cpp
  src/options/optiona.cpp
  src/main_window/master.cpp
  src/platform/ui_win.cpp
  src/platform/system_libraries_win.cpp
  src/platform/topmost_win.cpp
  src/platform/identity_win.cpp
  src/main_window/master_look_win.cpp
  src/options/optiona_win.cpp
  src/platform/program_icons_win.cpp
  src/platform/window_work_win.cpp
  PROPERTIES COMPILE_OPTIONS -Os)

# The Win32 side: platform calls and the two windows.
add_library(marlo_win STATIC
  src/platform/platform_win.cpp
  src/platform/identity_win.cpp
  src/platform/text_win.cpp
  src/platform/topmost_win.cpp
  src/platform/ui_win.cpp
  src/platform/system_libraries_win.cpp
  src/platform/window_work_win.cpp
  src/main_window/master_win.cpp
  src/main_window/master_look_win.cpp
  src/options/optiona_win.cpp
  src/platform/program_icons_win.cpp
)
target_link_libraries(marlo_win PUBLIC marlo_core)
# Text reaches Windows only through the wide (W) calls: the macros of windows.h mean those here.
target_compile_definitions(marlo_win PRIVATE UNICODE _UNICODE)

# The exe an office copies to its server: its icon, manifest and version built in, no debug
# information, unused code left out.
enable_language(RC)
add_executable(Marlo WIN32 src/platform/win_main.cpp src/platform/load_config_win.cpp
                           src/platform/marlo.rc)
target_include_directories(Marlo PRIVATE ${PROJECT_SOURCE_DIR}/src/platform)
target_compile_definitions(Marlo PRIVATE UNICODE _UNICODE)
target_link_libraries(Marlo PRIVATE marlo_win ${marlo_static_link} ${marlo_runtime_link} -municode -s
                                    -Wl,--gc-sections)
# Its load configuration (load_config_win.cpp), which nothing refers to, is kept (the link fails
# without it), and GNU ld does not enter it in the exe's header: that is done after the link, from
# the link map, as the exe is stripped. When that fails, so does the build, and the exe is deleted.
set(marlo_map ${CMAKE_CURRENT_BINARY_DIR}/Marlo.map)
target_link_options(Marlo PRIVATE -Wl,--require-defined=_load_config_used -Wl,-Map=${marlo_map})
add_custom_command(TARGET Marlo POST_BUILD
  COMMAND ${PROJECT_SOURCE_DIR}/cmake/set-load-config.sh $<TARGET_FILE:Marlo> ${marlo_map}
  VERBATIM)
set_property(SOURCE src/platform/marlo.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/platform/marlo.ico ${PROJECT_SOURCE_DIR}/src/platform/marlo.manifest)

# The same menu drawing no icons and looking for none: what the icons cost is measured against it.
add_library(marlo_win_without_icons STATIC EXCLUDE_FROM_ALL src/main_window/master_win.cpp)
target_link_libraries(marlo_win_without_icons PUBLIC marlo_core)
target_compile_definitions(marlo_win_without_icons PRIVATE UNICODE _UNICODE MARLO_WITHOUT_ICONS)
add_executable(MarloWithoutIcons WIN32 EXCLUDE_FROM_ALL src/platform/win_main.cpp
                                 src/platform/marlo.rc)
target_include_directories(MarloWithoutIcons PRIVATE ${PROJECT_SOURCE_DIR}/src/platform)
target_compile_definitions(MarloWithoutIcons PRIVATE UNICODE _UNICODE)
target_link_libraries(MarloWithoutIcons PRIVATE marlo_win_without_icons marlo_win
                      ${marlo_static_link} ${marlo_runtime_link} -municode -s -Wl,--gc-sections)

# Marlo.exe is small, and imports only Windows' "known DLLs", which are never looked for beside
# the exe.
add_test(NAME shipped_exe
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/check_exe.sh $<TARGET_FILE:Marlo>)

add_executable(DemoApp WIN32 demo/demo_app.cpp)
target_link_libraries(DemoApp PRIVATE ${marlo_static_link})
# The same with an icon of its own, so that the demo menu shows a program's own icon too.
add_executable(DemoClock WIN32 demo/demo_app.cpp demo/demo_clock.rc)
target_link_libraries(DemoClock PRIVATE ${marlo_static_link})

include(${PROJECT_SOURCE_DIR}/tests/e2e/e2e.cmake)

# Benchmarks of the windows under Wine (scripts/bench.sh runs them).
file(GLOB win_benchmark_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/win/*.cpp)
foreach(source ${win_benchmark_sources})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE marlo_win ${marlo_static_link} psapi)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endforeach()
# The bare window the menu's start-up is measured against, linked as Marlo.exe is.
# A second one carries the menu's manifest (common controls of version 6).
add_executable(bare_window WIN32 tests/bench/win/bare_window/bare_window.cpp)
add_executable(bare_window_v6 WIN32 tests/bench/win/bare_window/bare_window.cpp
                              tests/bench/win/bare_window/bare_window_v6.rc)
foreach(bare bare_window bare_window_v6)
  target_link_libraries(${bare} PRIVATE ${marlo_static_link} ${marlo_runtime_link} -s
                                        -Wl,--gc-sections)
endforeach()
add_dependencies(startup_bench Marlo bare_window bare_window_v6)
add_dependencies(icons_bench Marlo MarloWithoutIcons DemoClock)
# The start benchmark starts the e2e tests' probe in place of an office's program.
add_dependencies(start_bench Marlo probe)
