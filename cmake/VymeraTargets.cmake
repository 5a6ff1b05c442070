# Helpers that give every target of the project the same flags, version note and test wiring.

set(VYMERA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Werror)
# GCC 12 at -O3 takes the standard library's own string concatenation ("[" + a temporary string)
# for an overlapping copy of some 2^63 bytes: its bug 105329, mended in GCC 13. Only the optimized
# release configurations meet it, so only they leave that warning out.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VYMERA_WARNINGS $<$<CONFIG:Release,MinSizeRel>:-Wno-restrict>)
endif()

if(VYMERA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# In the fuzz build every library of ours carries the coverage the fuzzer steers by.
if(VYMERA_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# The platform the build is for picks each facility's file by its suffix: the portable header
# autostart.h is built from autostart_linux.cpp here and from autostart_windows.cpp on Windows.
if(WIN32)
  set(VYMERA_PLATFORM windows)
else()
  set(VYMERA_PLATFORM linux)
endif()

# vymera_platform_sources(target facility...): adds <facility>_${VYMERA_PLATFORM}.cpp, relative to
# the calling folder, for each facility.
function(vymera_platform_sources target)
  foreach(facility IN LISTS ARGN)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${facility}_${VYMERA_PLATFORM}.cpp)
  endforeach()
endfunction()

# Our own code builds with warnings as errors; third-party headers are included as system headers.
function(vymera_warnings target)
  target_compile_options(${target} PRIVATE ${VYMERA_WARNINGS})
endfunction()

# vymera_library(name STATIC|SHARED sources...); a shared library carries the file version too.
function(vymera_library name kind)
  add_library(${name} ${kind} ${ARGN})
  vymera_warnings(${name})
  if(kind STREQUAL "SHARED")
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:vymera_version_note>)
  endif()
endfunction()

# vymera_program(name sources...): an executable that carries the project's file version.
function(vymera_program name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:vymera_version_note>)
  vymera_warnings(${name})
  # Windows starts a program of the GUI subsystem without a console window of its own.
  set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()

# vymera_test(name LABEL label SOURCES files... LIBS libs... [DEFINITIONS defs...]): one GoogleTest
# executable per module, each case registered with CTest under the label.
function(vymera_test name)
  if(NOT VYMERA_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${name} ${T_SOURCES})
  vymera_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vymera_testing GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # The module's tests/data folder, whether the test is declared in the module or in its tests folder.
  if(CMAKE_CURRENT_SOURCE_DIR MATCHES "/tests$")
    set(data_dir ${CMAKE_CURRENT_SOURCE_DIR}/data)
  else()
    set(data_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests/data)
  endif()
  target_compile_definitions(${name} PRIVATE VYMERA_TEST_DATA="${data_dir}" ${T_DEFINITIONS})
  # Tests on a real display share one screen and one pointer: a window another test maps over the
  # pointer takes its moves away. They take turns.
  set(lock)
  if(T_LABEL STREQUAL "gui")
    set(lock RESOURCE_LOCK x_display)
  endif()
  if(WIN32)
    # Under Wine every process start costs a good part of a second: the cases of an executable run
    # in one process, and a failure names the case in the output.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # The DLLs of ours (the tracker kit) sit beside the programs, not beside the tests.
    set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} ${lock} ENVIRONMENT "WINEPATH=Z:${CMAKE_BINARY_DIR}/bin")
    return()
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${T_LABEL} ${lock}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()

# vymera_fuzzer(name SOURCES files... LIBS libs... CORPUS dir): a libFuzzer target when the fuzz build
# is on (clang), and always a replay test that feeds every kept corpus file through the same entry point,
# so that what the fuzzer once found stays fixed in the ordinary and the sanitizer builds.
function(vymera_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
  if(VYMERA_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${name} ${F_SOURCES})
    vymera_warnings(${name})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    # scripts/fuzz reads where the corpus and the dictionary of a target are kept.
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus "${F_CORPUS}\n${F_DICT}\n")
  endif()
  if(VYMERA_TESTS)
    add_executable(${name}_replay ${F_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/fuzz_replay.cpp)
    vymera_warnings(${name}_replay)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name}_corpus COMMAND ${name}_replay ${F_CORPUS})
    set_tests_properties(${name}_corpus PROPERTIES LABELS unit)
  endif()
endfunction()
